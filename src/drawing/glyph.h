#pragma once
// The tile: the small rounded square in a desktop's colour carrying its icon or number that
// every surface shows, plus the bare icon, a tile with a red count badge and the list
// glyph.
//
// How the Mac's image types map onto the drawing layer:
// - an NSImage drawn by a handler on demand → platform::VectorImage (a DrawnImage), drawn
//   afresh at whatever backing scale it lands on; its natural size() is the NSImage size;
// - a system symbol with a one-colour palette configuration → Symbols::symbol, already
//   coloured, never a template image (nothing here is a template: no surface recolours it);
// - a custom picture's NSImage → the decoded platform::Bitmap, drawn stretched with
//   high-quality interpolation (the canvas's only interpolation, the Mac's "high" hint);
// - the Mac's y-up drawing coordinates → the canvas's y-down points: "above the centre"
//   becomes a smaller y, the badge's top-right corner is at y = 0.
//
// Everything here runs on the main thread only; the two caches are process-wide.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/canvas.h"
#include "platform/image_io.h"
#include "platform/symbols.h"
#include "spaces/desktop.h"
#include "spaces/presentation.h"
#include "store/space_icon.h"
#include "store/space_meta.h"

namespace velmora {

using ImageRef = std::shared_ptr<const platform::VectorImage>;
using PictureRef = std::shared_ptr<const platform::Bitmap>;

namespace Glyph {

// What drawing reaches outside itself for: system symbols, picture decoding, a canvas to
// measure text on, and the folder custom pictures live in.
struct Services {
  platform::Symbols* symbols = nullptr;
  platform::ImageIO* images = nullptr;
  platform::CanvasFactory* canvases = nullptr;
  std::filesystem::path picturesFolder;
};

// Installs the services every later call uses and empties both caches (tiles drawn with
// the old services must not be handed out again).
void setServices(Services services);

// At this many cached tiles, the next new tile empties the cache first.
inline constexpr std::size_t kTileCacheLimit = 300;

std::size_t tileCacheCount();
std::size_t pictureCacheCount();
void clearCaches();

// The cache key: number|icon|colour|size|radius ("3|sf:house.fill|-1|17.0|4.5"; radius -1
// when none was given).
std::string tileKey(int number, const SpaceIcon& icon, const TileColor& color, double size,
                    std::optional<double> radius);

// The core tile: cached by its full key, so an unchanged desktop costs one lookup.
ImageRef tileImage(int number, const SpaceIcon& icon, const TileColor& color,
                   std::optional<double> radius, double size);

// A desktop's tile with its presented icon and colour; `numberOnly` shows the number on a
// filled tile (a transparent desktop stands on its automatic colour).
ImageRef tileImage(const DesktopPresentation& presentation, const Desktop& desktop, double size,
                   std::optional<double> radius = std::nullopt, bool numberOnly = false);

// The icon alone; null for none, an unknown symbol or a picture that does not load.
ImageRef iconImage(const SpaceIcon& icon, double pointSize, platform::FontWeight weight,
                   const platform::Color& color);

// A system symbol in one colour; null when the system has no symbol of that name.
ImageRef symbolImage(const std::string& name, double pointSize, platform::FontWeight weight,
                     const platform::Color& color);

// A custom picture from the pictures folder, read from disk once per process. A failure is
// not remembered, so a picture that appears later is picked up.
PictureRef loadPicture(const std::string& fileName);

// The image, 3 points larger each way, with a small red badge carrying `text` at its
// top-right corner.
ImageRef badgedImage(const ImageRef& image, const std::string& text);

}  // namespace Glyph

// A desktop's icon, or its number when it has none, for rows in lists.
struct SpaceGlyph {
  Desktop desktop;
  double pointSize = 13;
  double opacity = 1;

  // What the row shows: the icon image when there is one, otherwise the number as text.
  struct Content {
    ImageRef image;
    std::string text;
    platform::Font font;
    platform::Color color;
  };
  Content body(const DesktopPresentation& presentation) const;
  // Draws the content centred in `into`.
  void draw(platform::Canvas& canvas, const platform::CanvasRect& into,
            const DesktopPresentation& presentation) const;
};

}  // namespace velmora
