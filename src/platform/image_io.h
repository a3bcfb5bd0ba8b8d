#pragma once
// Reading, drawing and PNG-encoding pictures: NSImage and NSBitmapImageRep on a Mac,
// gdk-pixbuf on Linux. Pictures cross the seam as plain bitmaps; where a picture goes on a
// canvas is decided above it.

#include <algorithm>
#include <cmath>
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

// Where `into` (canvas points) lands on a canvas's pixels: the exact rectangle in pixels
// (`left`, `top`, `width`, `height`, y down) and the whole pixels it touches, cut at the
// canvas's edges (x0 ≤ x < x1, y0 ≤ y < y1). None when nothing of it is on the canvas or the
// numbers are not finite.
struct CanvasPixels {
  double left = 0, top = 0, width = 0, height = 0;
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
inline std::optional<CanvasPixels> canvasPixels(const Bitmap& canvas, const CanvasRect& into) {
  if (!canvas.isValid() || !(canvas.pointSize.width > 0) || !(canvas.pointSize.height > 0)) {
    return std::nullopt;
  }
  const double perPointX = canvas.pixelWidth / canvas.pointSize.width;
  const double perPointY = canvas.pixelHeight / canvas.pointSize.height;
  CanvasPixels p;
  p.left = into.x * perPointX;
  p.top = into.y * perPointY;
  p.width = into.width * perPointX;
  p.height = into.height * perPointY;
  if (!std::isfinite(p.left) || !std::isfinite(p.top) || !std::isfinite(p.width) ||
      !std::isfinite(p.height) || p.width <= 0 || p.height <= 0) {
    return std::nullopt;
  }
  auto clampTo = [](double v, int limit) {
    return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(limit)));
  };
  p.x0 = clampTo(std::floor(p.left), canvas.pixelWidth);
  p.y0 = clampTo(std::floor(p.top), canvas.pixelHeight);
  p.x1 = clampTo(std::ceil(p.left + p.width), canvas.pixelWidth);
  p.y1 = clampTo(std::ceil(p.top + p.height), canvas.pixelHeight);
  if (p.x1 <= p.x0 || p.y1 <= p.y0) return std::nullopt;
  return p;
}

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
