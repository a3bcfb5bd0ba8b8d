#pragma once
// A canvas that writes down what was drawn, one line per call in canvas points, for golden
// files ("fill 0,0 17x17 r4.5 rgba(1,0.2,0.3,1)": a rounded rectangle's radius is how far
// right of its left edge its outline starts), and keeps the texts for checks of their own.
// Text is measured as half the point size per byte wide and 1.2 × the point size high, or
// by a real canvas when one is given.

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "golden.h"
#include "platform/canvas.h"

namespace velmora::testing {

class RecordingCanvas final : public platform::Canvas {
 public:
  struct Text {
    std::string text;
    platform::Font font;
    platform::CanvasRect box;
    std::optional<double> maxWidth;  // the room it was given, cut at the tail beyond
  };

  // `metrics`, when given, measures text with real fonts.
  explicit RecordingCanvas(Size size = {100, 100}, platform::Canvas* metrics = nullptr)
      : size_(size), metrics_(metrics) {}

  std::vector<std::string> calls;
  std::vector<Text> texts;
  std::vector<platform::CanvasRect> fills;  // the bounds of every solid fill

  std::string dump(const std::string& separator = "; ") const {
    std::string out;
    for (const std::string& call : calls) out += (out.empty() ? "" : separator) + call;
    return out;
  }

  Size size() const override { return size_; }
  double scale() const override { return 1; }
  int pixelWidth() const override { return static_cast<int>(size_.width); }
  int pixelHeight() const override { return static_cast<int>(size_.height); }

  void save() override { stack_.push_back(current_); }
  void restore() override {
    if (!stack_.empty()) {
      current_ = stack_.back();
      stack_.pop_back();
    }
  }
  void clip(const platform::Path& path) override { record("clip", path); }
  void translate(double dx, double dy) override {
    current_.tx += current_.sx * dx;
    current_.ty += current_.sy * dy;
  }
  void scaleBy(double sx, double sy) override {
    current_.sx *= sx;
    current_.sy *= sy;
  }
  void setAlpha(double) override {}
  void setShadow(std::optional<platform::Shadow>) override {}

  void fill(const platform::Path& path, const platform::Color& color) override {
    fills.push_back(record("fill", path, " " + colour(color)));
  }
  void fill(const platform::Path& path, const platform::LinearGradient& gradient) override {
    std::string stops = " " + point(map(gradient.start)) + "->" + point(map(gradient.end));
    for (const auto& stop : gradient.stops)
      stops += " " + num(stop.location) + ":" + colour(stop.color);
    record("gradient", path, stops);
  }
  void stroke(const platform::Path& path, const platform::Color& color, double width) override {
    record("stroke", path, " width " + num(width) + " " + colour(color));
  }
  void drawImage(const platform::Bitmap&, const platform::CanvasRect& into,
                 platform::ImageScaling) override {
    calls.push_back("bitmap " + rect(map(into)));
  }
  using platform::Canvas::drawImage;

  Size measureText(std::string_view utf8, const platform::Font& font) override {
    if (metrics_) return metrics_->measureText(utf8, font);
    return {0.5 * font.pointSize * static_cast<double>(utf8.size()), 1.2 * font.pointSize};
  }
  void drawText(std::string_view utf8, const platform::Font& font, const platform::Color& color,
                platform::CanvasPoint origin, std::optional<double> maxWidth) override {
    static constexpr const char* kWeights[] = {"regular", "medium", "semibold", "bold"};
    Size box = measureText(utf8, font);
    texts.push_back(
        {std::string(utf8), font, map({origin.x, origin.y, box.width, box.height}), maxWidth});
    calls.push_back("text " + rect(texts.back().box) + " \"" + escaped(utf8) + "\" " +
                    kWeights[static_cast<int>(font.weight)] + " " + num(font.pointSize) +
                    (font.family == platform::FontFamily::emoji ? " emoji" : "") +
                    (maxWidth ? " max " + num(*maxWidth) : "") + " " + colour(color));
  }
  std::string truncateTail(std::string_view utf8, const platform::Font&, double) override {
    return std::string(utf8);
  }
  platform::Bitmap bitmap() const override { return {}; }
  std::optional<std::vector<std::uint8_t>> encodePNG() const override { return std::nullopt; }

 private:
  struct Transform {
    double tx = 0, ty = 0, sx = 1, sy = 1;
  };

  static std::string point(platform::CanvasPoint p) { return num(p.x) + "," + num(p.y); }
  static std::string rect(const platform::CanvasRect& r) {
    return point({r.x, r.y}) + " " + num(r.width) + "x" + num(r.height);
  }
  static std::string colour(const platform::Color& c) {
    return "rgba(" + num(c.red) + "," + num(c.green) + "," + num(c.blue) + "," + num(c.alpha) + ")";
  }
  platform::CanvasPoint map(platform::CanvasPoint p) const {
    return {current_.tx + current_.sx * p.x, current_.ty + current_.sy * p.y};
  }
  platform::CanvasRect map(const platform::CanvasRect& r) const {
    platform::CanvasPoint a = map(platform::CanvasPoint{r.x, r.y});
    return {a.x, a.y, r.width * current_.sx, r.height * current_.sy};
  }
  // Writes down a path call with its mapped bounds, the radius its outline starts at and
  // `rest`; answers the bounds.
  platform::CanvasRect record(const char* kind, const platform::Path& path,
                              const std::string& rest = "") {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const auto& e : path.elements()) {
      int n = e.op == platform::Path::Op::curveTo ? 3 : (e.op == platform::Path::Op::close ? 0 : 1);
      for (int i = 0; i < n; ++i) {
        platform::CanvasPoint p = map(e.points[i]);
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x),
        y1 = std::max(y1, p.y);
      }
    }
    platform::CanvasRect bounds =
        x0 > x1 ? platform::CanvasRect{} : platform::CanvasRect{x0, y0, x1 - x0, y1 - y0};
    const double start = path.isEmpty() ? bounds.x : map(path.elements()[0].points[0]).x;
    calls.push_back(std::string(kind) + " " + rect(bounds) +
                    (start != bounds.x ? " r" + num(start - bounds.x) : "") + rest);
    return bounds;
  }

  Size size_;
  platform::Canvas* metrics_;
  Transform current_;
  std::vector<Transform> stack_;
};

// Measures with the recording canvas's rules, so sizes computed outside a drawing agree.
class RecordingCanvasFactory final : public platform::CanvasFactory {
 public:
  std::unique_ptr<platform::Canvas> makeCanvas(Size points, double) override {
    return std::make_unique<RecordingCanvas>(points);
  }
};

}  // namespace velmora::testing
