#include "drawing/glyph.h"
#include "store/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <unordered_map>
#include <utility>

namespace velmora {
namespace Glyph {
namespace {

using platform::CanvasRect;
using platform::Color;
using platform::DrawnImage;
using platform::Font;
using platform::FontWeight;
using platform::Path;

struct State {
  Services services;
  std::unordered_map<std::string, ImageRef> tileCache;
  std::map<std::string, PictureRef> pictureCache;
};

State& state() {
  static State s;
  return s;
}

Color toColor(const RGBColor& c) {
  return {c.red, c.green, c.blue, c.alpha};
}

// Sizes that are not a finite positive number draw nothing rather than poison geometry.
double sane(double v) {
  return std::isfinite(v) && v > 0 ? v : 0;
}

// A one-line text's size, measured on a scratch canvas; zero when none can be made.
Size measure(const std::string& text, const Font& font) {
  platform::CanvasFactory* factory = state().services.canvases;
  if (!factory) return {};
  auto canvas = factory->makeCanvas({1, 1}, 1);
  return canvas ? canvas->measureText(text, font) : Size{};
}

void drawPicture(platform::Canvas& canvas, const platform::Bitmap& picture, double size,
                 double inset, double r) {
  CanvasRect target{inset, inset, size - 2 * inset, size - 2 * inset};
  platform::CanvasStateSaver saved(canvas);
  canvas.clip(Path::roundedRect(target, 0.8 * r));
  canvas.drawImage(picture, target, platform::ImageScaling::stretch);
}

// Text centred on the tile; a positive `lift` raises it.
void drawCentred(platform::Canvas& canvas, const std::string& text, const Font& font,
                 const Color& color, double size, double lift) {
  Size box = canvas.measureText(text, font);
  canvas.drawText(text, font, color, {size / 2 - box.width / 2, size / 2 - box.height / 2 - lift});
}

void drawTile(platform::Canvas& canvas, double r, bool transparent, const Color& fill,
              const SpaceIcon& icon, double size, int number) {
  const CanvasRect bounds{0, 0, size, size};
  const Path tile = Path::roundedRect(bounds, r);
  const bool isPicture = icon.kind() == SpaceIcon::Kind::Picture;
  if (!transparent) {
    canvas.fill(tile, fill);
    {
      // A sheen: 16 % white on the middle line fading out towards the top edge.
      platform::CanvasStateSaver saved(canvas);
      canvas.clip(tile);
      canvas.fill(Path::rect({0, 0, size, size * 0.5}),
                  platform::LinearGradient{
                      {0, size / 2}, {0, 0}, {{0, Color::white(0.16)}, {1, Color::white(0)}}});
    }
    if (isPicture) {
      if (PictureRef picture = loadPicture(icon.payload())) {
        drawPicture(canvas, *picture, size, 0.13 * size, r);
        return;
      }
    }
  } else {
    if (isPicture) {
      if (PictureRef picture = loadPicture(icon.payload())) {
        drawPicture(canvas, *picture, size, 0, r);
        return;
      }
    }
    if (icon.isNone()) canvas.stroke(tile, Color::white(0.25), 1.0);
  }

  if (icon.kind() == SpaceIcon::Kind::Emoji) {
    drawCentred(canvas, icon.payload(), Font::system(0.6 * size), Color::white(), size, 0);
    return;
  }
  if (icon.kind() == SpaceIcon::Kind::Symbol) {
    if (ImageRef symbol =
            symbolImage(icon.payload(), 0.56 * size, FontWeight::semibold, Color::white())) {
      Size natural = symbol->size();
      double longest = std::max(natural.width, natural.height);
      if (longest > 0) {
        double k = std::min(1.0, 0.66 * size / longest);
        double w = k * natural.width, h = k * natural.height;
        canvas.drawImage(*symbol, CanvasRect{size / 2 - w / 2, size / 2 - h / 2, w, h});
        return;
      }
    }
  }
  // The number: a plain number sits slightly above the optical centre.
  Font font = Font::system((number < 10 ? 0.62 : 0.52) * size, FontWeight::bold);
  drawCentred(canvas, std::to_string(number), font, Color::white(), size,
              icon.isNone() ? 0.02 * size : 0);
}

}  // namespace

void setServices(Services services) {
  state().services = std::move(services);
  clearCaches();
}

std::size_t tileCacheCount() {
  return state().tileCache.size();
}
std::size_t pictureCacheCount() {
  return state().pictureCache.size();
}
void clearCaches() {
  state().tileCache.clear();
  state().pictureCache.clear();
}

std::string tileKey(int number, const SpaceIcon& icon, const TileColor& color, double size,
                    std::optional<double> radius) {
  return std::to_string(number) + "|" + icon.stored() + "|" + std::to_string(color.stored()) + "|" +
         decimal(size) + "|" + (radius ? decimal(*radius) : std::string("-1"));
}

ImageRef tileImage(int number, const SpaceIcon& icon, const TileColor& color,
                   std::optional<double> radius, double size) {
  std::string key = tileKey(number, icon, color, size, radius);
  State& s = state();
  if (auto found = s.tileCache.find(key); found != s.tileCache.end()) return found->second;

  const double side = sane(size);
  const double r = radius && std::isfinite(*radius) ? std::max(0.0, *radius) : 0.28 * side;
  const bool transparent = color.kind() == TileColor::Kind::Transparent;
  const Color fill = toColor(color.kind() == TileColor::Kind::Palette
                                 ? paletteEntry(color.index()).color
                                 : paletteEntry(std::int64_t{number} - 1).color);
  auto image = std::make_shared<DrawnImage>(
      Size{side, side}, [r, transparent, fill, icon, side, number](platform::Canvas& canvas, Size) {
        drawTile(canvas, r, transparent, fill, icon, side, number);
      });

  if (s.tileCache.size() >= kTileCacheLimit) s.tileCache.clear();
  s.tileCache.emplace(std::move(key), image);
  return image;
}

ImageRef tileImage(const DesktopPresentation& presentation, const Desktop& desktop, double size,
                   std::optional<double> radius, bool numberOnly) {
  if (!numberOnly) {
    return tileImage(desktop.number, presentation.icon(desktop), presentation.color(desktop),
                     radius, size);
  }
  TileColor color = presentation.color(desktop);
  if (color.kind() == TileColor::Kind::Transparent) color = TileColor::automatic();
  return tileImage(desktop.number, SpaceIcon::none(), color, radius, size);
}

ImageRef symbolImage(const std::string& name, double pointSize, platform::FontWeight weight,
                     const platform::Color& color) {
  platform::Symbols* symbols = state().services.symbols;
  if (!symbols || name.empty() || sane(pointSize) <= 0) return nullptr;
  return symbols->symbol(name, pointSize, weight, color);
}

PictureRef loadPicture(const std::string& fileName) {
  State& s = state();
  if (auto found = s.pictureCache.find(fileName); found != s.pictureCache.end()) {
    return found->second;
  }
  // Only plain names inside the pictures folder; a stored path elsewhere loads nothing.
  std::filesystem::path name(fileName);
  if (!s.services.images || fileName.empty() || name.has_parent_path() || fileName == "." ||
      fileName == "..") {
    return nullptr;
  }
  std::optional<platform::Bitmap> bitmap =
      s.services.images->load(s.services.picturesFolder / name);
  if (!bitmap || !bitmap->isValid()) return nullptr;
  auto picture = std::make_shared<const platform::Bitmap>(std::move(*bitmap));
  s.pictureCache.emplace(fileName, picture);
  return picture;
}

ImageRef iconImage(const SpaceIcon& icon, double pointSize, platform::FontWeight weight,
                   const platform::Color& color) {
  const double points = sane(pointSize);
  switch (icon.kind()) {
    case SpaceIcon::Kind::Symbol:
      return symbolImage(icon.payload(), points, weight, color);
    case SpaceIcon::Kind::Emoji: {
      Font font = Font::system(0.95 * points);
      Size box = measure(icon.payload(), font);
      double side = std::max(box.width, box.height);
      if (!(side > 0)) return nullptr;
      std::string text = icon.payload();
      return std::make_shared<DrawnImage>(
          Size{side, side}, [text, font, box, side](platform::Canvas& canvas, Size) {
            canvas.drawText(text, font, Color::white(),
                            {side / 2 - box.width / 2, side / 2 - box.height / 2});
          });
    }
    case SpaceIcon::Kind::Picture: {
      PictureRef picture = loadPicture(icon.payload());
      if (!picture || points <= 0) return nullptr;
      return std::make_shared<DrawnImage>(
          Size{points, points}, [picture, points](platform::Canvas& canvas, Size) {
            platform::CanvasStateSaver saved(canvas);
            const CanvasRect square{0, 0, points, points};
            canvas.clip(Path::roundedRect(square, 0.25 * points));
            canvas.drawImage(*picture, square, platform::ImageScaling::stretch);
          });
    }
    case SpaceIcon::Kind::None:
      break;
  }
  return nullptr;
}

ImageRef badgedImage(const ImageRef& image, const std::string& text) {
  const Size inner = image ? image->size() : Size{};
  const Font font = Font::system(7.5, FontWeight::bold);
  const Size label = measure(text, font);
  const double badgeHeight = 10;
  // A runaway label is capped at the picture's width so the badge stays a badge.
  const double badgeWidth =
      std::min(std::max(10.0, std::ceil(label.width) + 5), std::max(10.0, inner.width + 3));
  const Size outer{inner.width + 3, inner.height + 3};
  return std::make_shared<DrawnImage>(outer, [image, inner, outer, text, font, badgeWidth,
                                              badgeHeight](platform::Canvas& canvas, Size) {
    if (image) canvas.drawImage(*image, CanvasRect{0, 3, inner.width, inner.height});
    const CanvasRect badge{outer.width - badgeWidth, 0, badgeWidth, badgeHeight};
    const Path pill = Path::roundedRect(badge, badgeHeight / 2);
    canvas.fill(pill, Color{1.0, 0.27, 0.23, 1.0});
    canvas.stroke(pill, Color::black(0.35), 0.5);
    Size box = canvas.measureText(text, font);
    canvas.drawText(
        text, font, Color::white(),
        {badge.x + badge.width / 2 - box.width / 2, badge.y + badge.height / 2 - box.height / 2},
        badgeWidth);
  });
}

}  // namespace Glyph

SpaceGlyph::Content SpaceGlyph::body(const DesktopPresentation& presentation) const {
  Content content;
  content.image = Glyph::iconImage(presentation.icon(desktop), pointSize,
                                   platform::FontWeight::semibold, platform::Color::white());
  if (content.image) return content;
  content.text = std::to_string(desktop.number);
  content.font = platform::Font::system(std::max(1.0, pointSize - 1), platform::FontWeight::bold);
  content.color = platform::Color::white(std::clamp(opacity, 0.0, 1.0));
  return content;
}

void SpaceGlyph::draw(platform::Canvas& canvas, const platform::CanvasRect& into,
                      const DesktopPresentation& presentation) const {
  Content content = body(presentation);
  const double cx = into.x + into.width / 2, cy = into.y + into.height / 2;
  if (content.image) {
    Size s = content.image->size();
    canvas.drawImage(*content.image,
                     platform::CanvasRect{cx - s.width / 2, cy - s.height / 2, s.width, s.height});
    return;
  }
  Size box = canvas.measureText(content.text, content.font);
  canvas.drawText(content.text, content.font, content.color,
                  {cx - box.width / 2, cy - box.height / 2});
}

}  // namespace velmora
