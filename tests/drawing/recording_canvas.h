#pragma once
// A canvas that keeps a list of what was drawn, in canvas points, so tests can check the
// geometry of a picture without looking at pixels. Text is measured as half the point size
// per byte wide and 1.2 × the point size high, or by a real canvas when one is given.

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "golden.h"
#include "platform/canvas.h"

namespace velmora::testing {

struct DrawCall {
  enum class Kind { fill, gradient, stroke, clip, bitmap, text };
  Kind kind = Kind::fill;
  platform::CanvasRect bounds;  // of the path, the bitmap target or the text box
  // Where a path starts: a rounded rectangle starts where its top-left corner's curve ends,
  // its radius right of its left edge.
  platform::CanvasPoint start;
  platform::Color color;
  platform::LinearGradient gradient;
  double lineWidth = 0;
  std::string text;
  platform::Font font;
  std::optional<double> maxWidth;  // of a text: the room it was given, cut at the tail beyond
};

class RecordingCanvas final : public platform::Canvas {
 public:
  // `metrics`, when given, measures text with real fonts.
  explicit RecordingCanvas(Size size = {100, 100}, platform::Canvas* metrics = nullptr)
      : size_(size), metrics_(metrics) {}

  std::vector<DrawCall> calls;

  std::vector<DrawCall> of(DrawCall::Kind kind) const {
    std::vector<DrawCall> found;
    for (const DrawCall& c : calls) {
      if (c.kind == kind) found.push_back(c);
    }
    return found;
  }

  // Every call on one line, for golden files: "fill 0,0 17x17 r4.5 rgba(1,0.2,0.3,1); text …".
  std::string dump() const {
    static constexpr const char* kKinds[] = {"fill", "gradient", "stroke",
                                             "clip", "bitmap",   "text"};
    static constexpr const char* kWeights[] = {"regular", "medium", "semibold", "bold"};
    auto point = [](platform::CanvasPoint p) { return num(p.x) + "," + num(p.y); };
    auto colour = [](const platform::Color& c) {
      return "rgba(" + num(c.red) + "," + num(c.green) + "," + num(c.blue) + "," + num(c.alpha) +
             ")";
    };
    std::string out;
    for (const DrawCall& c : calls) {
      if (!out.empty()) out += "; ";
      out += std::string(kKinds[static_cast<int>(c.kind)]) + " " + point({c.bounds.x, c.bounds.y}) +
             " " + num(c.bounds.width) + "x" + num(c.bounds.height);
      if (c.kind == DrawCall::Kind::text) {
        out += " \"" + c.text + "\" " + kWeights[static_cast<int>(c.font.weight)] + " " +
               num(c.font.pointSize) +
               (c.font.family == platform::FontFamily::emoji ? " emoji" : "");
        if (c.maxWidth) out += " max " + num(*c.maxWidth);
      }
      // A rounded rectangle starts its radius right of its left edge.
      if (c.start.x != c.bounds.x &&
          (c.kind == DrawCall::Kind::fill || c.kind == DrawCall::Kind::clip))
        out += " r" + num(c.start.x - c.bounds.x);
      if (c.kind == DrawCall::Kind::stroke) out += " width " + num(c.lineWidth);
      if (c.kind == DrawCall::Kind::gradient) {
        out += " " + point(c.gradient.start) + "->" + point(c.gradient.end);
        for (const auto& stop : c.gradient.stops)
          out += " " + num(stop.location) + ":" + colour(stop.color);
      } else if (c.kind != DrawCall::Kind::clip && c.kind != DrawCall::Kind::bitmap) {
        out += " " + colour(c.color);
      }
    }
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
  void clip(const platform::Path& path) override {
    record(DrawCall::Kind::clip, bounds(path)).start = start(path);
  }
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
    DrawCall& c = record(DrawCall::Kind::fill, bounds(path));
    c.color = color;
    c.start = start(path);
  }
  void fill(const platform::Path& path, const platform::LinearGradient& gradient) override {
    DrawCall& c = record(DrawCall::Kind::gradient, bounds(path));
    c.gradient = gradient;
    c.gradient.start = map(gradient.start);
    c.gradient.end = map(gradient.end);
  }
  void stroke(const platform::Path& path, const platform::Color& color, double width) override {
    DrawCall& c = record(DrawCall::Kind::stroke, bounds(path));
    c.color = color;
    c.lineWidth = width;
  }
  void drawImage(const platform::Bitmap&, const platform::CanvasRect& into,
                 platform::ImageScaling) override {
    record(DrawCall::Kind::bitmap, map(into));
  }
  using platform::Canvas::drawImage;

  Size measureText(std::string_view utf8, const platform::Font& font) override {
    if (metrics_) return metrics_->measureText(utf8, font);
    return {0.5 * font.pointSize * static_cast<double>(utf8.size()), 1.2 * font.pointSize};
  }
  void drawText(std::string_view utf8, const platform::Font& font, const platform::Color& color,
                platform::CanvasPoint origin, std::optional<double> maxWidth) override {
    Size box = measureText(utf8, font);
    DrawCall& c = record(DrawCall::Kind::text, map({origin.x, origin.y, box.width, box.height}));
    c.text = std::string(utf8);
    c.font = font;
    c.color = color;
    c.maxWidth = maxWidth;
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

  platform::CanvasPoint map(platform::CanvasPoint p) const {
    return {current_.tx + current_.sx * p.x, current_.ty + current_.sy * p.y};
  }
  platform::CanvasRect map(const platform::CanvasRect& r) const {
    platform::CanvasPoint a = map(platform::CanvasPoint{r.x, r.y});
    return {a.x, a.y, r.width * current_.sx, r.height * current_.sy};
  }
  platform::CanvasPoint start(const platform::Path& path) const {
    return path.isEmpty() ? platform::CanvasPoint{} : map(path.elements()[0].points[0]);
  }
  platform::CanvasRect bounds(const platform::Path& path) const {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const auto& e : path.elements()) {
      int n = e.op == platform::Path::Op::curveTo ? 3 : (e.op == platform::Path::Op::close ? 0 : 1);
      for (int i = 0; i < n; ++i) {
        platform::CanvasPoint p = map(e.points[i]);
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
      }
    }
    if (x0 > x1) return {};
    return {x0, y0, x1 - x0, y1 - y0};
  }
  DrawCall& record(DrawCall::Kind kind, const platform::CanvasRect& r) {
    DrawCall c;
    c.kind = kind;
    c.bounds = r;
    calls.push_back(c);
    return calls.back();
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
