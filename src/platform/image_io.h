#pragma once
// Reading, drawing and PNG-encoding pictures: NSImage and NSBitmapImageRep on a Mac,
// gdk-pixbuf on Linux. Pictures cross the seam as plain bitmaps; where a picture goes on a
// canvas is decided above it.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/geometry.h"

namespace velmora::platform {

// 8-bit RGBA with straight (not premultiplied) alpha, rows top to bottom, no row padding:
// rgba.size() == pixelWidth * pixelHeight * 4.
struct Bitmap {
  int pixelWidth = 0;
  int pixelHeight = 0;
  // The logical size. A picture file that records its resolution (a 144 dpi PNG) is smaller
  // in points than in pixels, as NSImage reports it; otherwise both are the same.
  Size pointSize;
  std::vector<std::uint8_t> rgba;

  // Fully transparent, one point per pixel.
  static Bitmap transparent(int pixelWidth, int pixelHeight) {
    Bitmap bitmap;
    bitmap.pixelWidth = pixelWidth;
    bitmap.pixelHeight = pixelHeight;
    bitmap.pointSize = {static_cast<double>(pixelWidth), static_cast<double>(pixelHeight)};
    bitmap.rgba.assign(static_cast<std::size_t>(pixelWidth) * pixelHeight * 4, 0);
    return bitmap;
  }
  bool isValid() const {
    return pixelWidth > 0 && pixelHeight > 0 &&
           rgba.size() == static_cast<std::size_t>(pixelWidth) * pixelHeight * 4;
  }
};

// A rectangle on a canvas, in the canvas's points, origin at its top-left corner, y down.
// Cocoa's bitmap contexts have y up, so the Mac side flips it.
struct CanvasRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  bool operator==(const CanvasRect&) const = default;
};

class ImageIO {
 public:
  virtual ~ImageIO() = default;

  // The (first) picture in a file of any format the platform can open — PNG, JPEG, TIFF,
  // GIF, BMP and more — turned upright when the file records an orientation. None when the
  // file cannot be opened as a picture, including a damaged or truncated one.
  virtual std::optional<Bitmap> load(const std::filesystem::path& file) = 0;

  // A fully transparent canvas of that many pixels, one point per pixel. None when it cannot
  // be made.
  virtual std::optional<Bitmap> makeCanvas(int pixelWidth, int pixelHeight) = 0;

  // Draws the whole image stretched into `into` (canvas points) with high-quality
  // interpolation, replacing the canvas pixels it covers at full opacity (a copy, not a
  // blend); whatever falls outside the canvas is cut off. Invalid bitmaps draw nothing.
  virtual void drawImage(const Bitmap& image, Bitmap& canvas, const CanvasRect& into) = 0;

  // The bitmap as a PNG file's bytes, with no extra properties. None when it cannot be
  // encoded.
  virtual std::optional<std::vector<std::uint8_t>> encodePNG(const Bitmap& bitmap) = 0;
};

}  // namespace velmora::platform
