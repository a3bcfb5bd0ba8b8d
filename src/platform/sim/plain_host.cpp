#include "platform/sim/plain_host.h"

#include <cmath>
#include <cstddef>
#include <string_view>

#include "platform/linux/rsvg_symbols.h"

namespace velmora::sim {

namespace {

constexpr std::string_view kEllipsis = "\u2026";

bool isContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

double advance(const platform::Font& font) {
  return font.pointSize * PlainCanvasFactory::kAdvanceShare;
}

double widthOf(std::string_view utf8, const platform::Font& font) {
  std::size_t codePoints = 0;
  for (char c : utf8) codePoints += isContinuationByte(c) ? 0 : 1;
  return static_cast<double>(codePoints) * advance(font);
}

int pixelsFor(double points, double scale) {
  return static_cast<int>(std::ceil(points * scale - 1e-9));
}

class PlainCanvas final : public platform::Canvas {
 public:
  PlainCanvas(Size points, double scale) : points_(points), scale_(scale) {}

  Size size() const override { return points_; }
  double scale() const override { return scale_; }
  int pixelWidth() const override { return pixelsFor(points_.width, scale_); }
  int pixelHeight() const override { return pixelsFor(points_.height, scale_); }

  void save() override {}
  void restore() override {}
  void clip(const platform::Path&) override {}
  void translate(double, double) override {}
  void scaleBy(double, double) override {}
  void setAlpha(double) override {}
  void setShadow(std::optional<platform::Shadow>) override {}
  void fill(const platform::Path&, const platform::Color&) override {}
  void fill(const platform::Path&, const platform::LinearGradient&) override {}
  void stroke(const platform::Path&, const platform::Color&, double) override {}
  void drawImage(const platform::Bitmap&, const platform::CanvasRect&,
                 platform::ImageScaling) override {}
  void drawText(std::string_view, const platform::Font&, const platform::Color&,
                platform::CanvasPoint, std::optional<double>) override {}

  Size measureText(std::string_view utf8, const platform::Font& font) override {
    return {widthOf(utf8, font), font.pointSize * PlainCanvasFactory::kLineHeightShare};
  }

  std::string truncateTail(std::string_view utf8, const platform::Font& font,
                           double maxWidth) override {
    if (widthOf(utf8, font) <= maxWidth) return std::string(utf8);
    double room = maxWidth - widthOf(kEllipsis, font);
    std::size_t kept = 0;
    double width = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      if (isContinuationByte(utf8[i])) continue;
      if (width + advance(font) > room) break;
      width += advance(font);
      // The code point runs to the next lead byte.
      kept = i + 1;
      while (kept < utf8.size() && isContinuationByte(utf8[kept])) ++kept;
    }
    return std::string(utf8.substr(0, kept)) + std::string(kEllipsis);
  }

  platform::Bitmap bitmap() const override {
    platform::Bitmap out;
    out.pixelWidth = pixelWidth();
    out.pixelHeight = pixelHeight();
    out.pointSize = points_;
    out.rgba.assign(static_cast<std::size_t>(out.pixelWidth) * out.pixelHeight * 4, 0);
    return out;
  }
  std::optional<std::vector<std::uint8_t>> encodePNG() const override { return std::nullopt; }

 private:
  Size points_;
  double scale_;
};

}  // namespace

std::unique_ptr<platform::Canvas> PlainCanvasFactory::makeCanvas(Size points, double scale) {
  if (!(scale > 0) || !std::isfinite(scale) || !(points.width > 0) || !(points.height > 0) ||
      !std::isfinite(points.width) || !std::isfinite(points.height)) {
    return nullptr;
  }
  return std::make_unique<PlainCanvas>(points, scale);
}

std::shared_ptr<platform::VectorImage> PlainSymbols::symbol(const std::string& name,
                                                            double pointSize,
                                                            platform::SymbolWeight,
                                                            const platform::Color&) {
  if (!std::isfinite(pointSize) || pointSize <= 0) return nullptr;
  if (!linuxhost::RsvgSymbols::iconName(name)) return nullptr;
  return std::make_shared<platform::DrawnImage>(Size{pointSize, pointSize},
                                                platform::DrawnImage::Procedure{});
}

}  // namespace velmora::sim
