#include "platform/sim/virtual_app_icons.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <string>

namespace velmora::sim {

namespace {

using platform::Canvas;
using platform::CanvasRect;
using platform::Color;

// Saturated but not loud, each dark enough under white.
constexpr std::array<std::uint32_t, 10> kPalette = {
    0x2F6FDB, 0x7A4FD6, 0xD2475F, 0xE07A2E, 0x2E9E6A,
    0x1E8FA6, 0xC94BA5, 0x5B6B82, 0x9C6B3C, 0x3F8F3A,
};

Color fromRGB(std::uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, 1};
}

// The first character of `name` (a whole code point), capitalised when it is a plain letter.
std::string initial(const std::string& name) {
  if (name.empty()) return "?";
  auto lead = static_cast<unsigned char>(name[0]);
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  std::string first = name.substr(0, length);
  if (length == 1) first[0] = static_cast<char>(std::toupper(lead));
  return first;
}

// Drawn at the size it is shown, so it stays sharp in a small row and a large preview alike.
class AppIconImage final : public platform::VectorImage {
 public:
  AppIconImage(Color color, std::string symbol, std::string letter, platform::Symbols& symbols)
      : color_(color), symbol_(std::move(symbol)), letter_(std::move(letter)), symbols_(symbols) {}

  Size size() const override { return {VirtualAppIcons::kSide, VirtualAppIcons::kSide}; }

  void draw(Canvas& canvas, const CanvasRect& into) const override {
    double side = std::min(into.width, into.height);
    if (!(side > 0)) return;
    CanvasRect box{into.x + (into.width - side) / 2, into.y + (into.height - side) / 2, side, side};
    platform::CanvasStateSaver saved(canvas);
    canvas.fill(platform::Path::roundedRect(box, side * VirtualAppIcons::kCornerShare), color_);
    if (auto glyph = symbolAt(side * 0.55)) {
      Size s = glyph->size();
      canvas.drawImage(
          *glyph, {box.x + (side - s.width) / 2, box.y + (side - s.height) / 2, s.width, s.height});
      return;
    }
    platform::Font font = platform::Font::system(side * 0.56, platform::FontWeight::semibold);
    Size s = canvas.measureText(letter_, font);
    canvas.drawText(letter_, font, Color::white(),
                    {box.x + (side - s.width) / 2, box.y + (side - s.height) / 2});
  }

 private:
  // The symbol at this point size, kept while the icon is drawn at the same size.
  std::shared_ptr<platform::VectorImage> symbolAt(double pointSize) const {
    if (symbol_.empty()) return nullptr;
    if (!cached_ || cachedSize_ != pointSize) {
      cached_ = symbols_.symbol(symbol_, pointSize, platform::FontWeight::medium, Color::white());
      cachedSize_ = pointSize;
    }
    return cached_;
  }

  Color color_;
  std::string symbol_;
  std::string letter_;
  platform::Symbols& symbols_;
  mutable std::shared_ptr<platform::VectorImage> cached_;
  mutable double cachedSize_ = 0;
};

}  // namespace

Color VirtualAppIcons::paletteColor(const std::string& key) {
  // FNV-1a: std::hash differs between standard libraries, and screenshots must not.
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : key) hash = (hash ^ c) * 16777619u;
  return fromRGB(kPalette[hash % kPalette.size()]);
}

std::shared_ptr<platform::VectorImage> VirtualAppIcons::icon(const platform::AppIcon& app) {
  if (app.identifier.empty()) return nullptr;
  for (const SimApp& a : machine_.apps) {
    if (a.bundleIdentifier != app.identifier && a.bundlePath != app.identifier) continue;
    const std::string& key = a.bundleIdentifier ? *a.bundleIdentifier : *a.bundlePath;
    Color color = a.iconColor ? fromRGB(*a.iconColor) : paletteColor(key);
    return std::make_shared<AppIconImage>(color, a.iconSymbol.value_or(""),
                                          initial(a.name.value_or("")), symbols_);
  }
  return nullptr;
}

}  // namespace velmora::sim
