#include "platform/macos/image_io.h"

#include <CoreGraphics/CoreGraphics.h>
#include <ImageIO/ImageIO.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <utility>

#include "platform/macos/cf_value.h"
#include "platform/macos/cg_bitmap.h"

namespace velmora::macos {

namespace {

// Sizes whose RGBA bytes can be indexed with the bitmap's int sizes.
bool fitsBitmap(int width, int height) {
  return width > 0 && height > 0 && width <= INT_MAX / 4 / height;
}

std::optional<double> numberProperty(CFDictionaryRef properties, CFStringRef key) {
  if (!properties) return std::nullopt;
  CFNumberRef number =
      cfCast<CFNumberRef>(CFDictionaryGetValue(properties, key), CFNumberGetTypeID());
  double value = 0;
  if (!number || !CFNumberGetValue(number, kCFNumberDoubleType, &value) || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// Maps a stored image of `width` × `height` pixels, as CGContextDrawImage lays it into
// (0, 0, width, height) of a y-up context, onto the upright picture the orientation
// (EXIF 1…8) describes.
CGAffineTransform uprightTransform(int orientation, double width, double height) {
  switch (orientation) {
    case 2:  // mirrored left to right
      return CGAffineTransformMake(-1, 0, 0, 1, width, 0);
    case 3:  // turned half round
      return CGAffineTransformMake(-1, 0, 0, -1, width, height);
    case 4:  // mirrored top to bottom
      return CGAffineTransformMake(1, 0, 0, -1, 0, height);
    case 5:  // rows become columns, top-left corner kept
      return CGAffineTransformMake(0, -1, -1, 0, height, width);
    case 6:  // stored a quarter turn anticlockwise: turn it clockwise
      return CGAffineTransformMake(0, -1, 1, 0, 0, width);
    case 7:  // rows become columns, top-left corner to the bottom right
      return CGAffineTransformMake(0, 1, 1, 0, 0, 0);
    case 8:  // stored a quarter turn clockwise: turn it anticlockwise
      return CGAffineTransformMake(0, 1, -1, 0, height, 0);
    default:
      return CGAffineTransformMake(1, 0, 0, 1, 0, 0);
  }
}

}  // namespace

std::optional<platform::Bitmap> MacImageIO::load(const std::filesystem::path& file) {
  CFPtr<CFStringRef> path = cfString(file.string());
  if (!path) return std::nullopt;
  CFPtr<CFURLRef> url = CFPtr<CFURLRef>::adopt(
      CFURLCreateWithFileSystemPath(kCFAllocatorDefault, path.get(), kCFURLPOSIXPathStyle, false));
  if (!url) return std::nullopt;
  CFPtr<CGImageSourceRef> source =
      CFPtr<CGImageSourceRef>::adopt(CGImageSourceCreateWithURL(url.get(), nullptr));
  // A truncated file still yields the part that was there: only a complete one counts.
  if (!source || CGImageSourceGetCount(source.get()) < 1 ||
      CGImageSourceGetStatus(source.get()) != kCGImageStatusComplete ||
      CGImageSourceGetStatusAtIndex(source.get(), 0) != kCGImageStatusComplete) {
    return std::nullopt;
  }
  CFPtr<CGImageRef> image =
      CFPtr<CGImageRef>::adopt(CGImageSourceCreateImageAtIndex(source.get(), 0, nullptr));
  if (!image) return std::nullopt;
  CFPtr<CFDictionaryRef> properties =
      CFPtr<CFDictionaryRef>::adopt(CGImageSourceCopyPropertiesAtIndex(source.get(), 0, nullptr));

  const std::size_t storedWidth = CGImageGetWidth(image.get());
  const std::size_t storedHeight = CGImageGetHeight(image.get());
  if (storedWidth > INT_MAX || storedHeight > INT_MAX) return std::nullopt;
  const int orientation =
      static_cast<int>(numberProperty(properties.get(), kCGImagePropertyOrientation).value_or(1));
  // Orientations 5 to 8 turn the picture a quarter: its width is the stored height.
  const bool quarterTurn = orientation >= 5 && orientation <= 8;
  const int width = static_cast<int>(quarterTurn ? storedHeight : storedWidth);
  const int height = static_cast<int>(quarterTurn ? storedWidth : storedHeight);

  CFPtr<CGContextRef> context = makeBitmapContext(width, height);
  if (!context) return std::nullopt;
  CGContextConcatCTM(context.get(), uprightTransform(orientation, static_cast<double>(storedWidth),
                                                     static_cast<double>(storedHeight)));
  CGContextDrawImage(
      context.get(),
      CGRectMake(0, 0, static_cast<double>(storedWidth), static_cast<double>(storedHeight)),
      image.get());

  // 72 dpi is one pixel per point, as NSImage sizes a picture. A quarter turn swaps which
  // resolution runs across.
  std::optional<double> dpiX = numberProperty(properties.get(), kCGImagePropertyDPIWidth);
  std::optional<double> dpiY = numberProperty(properties.get(), kCGImagePropertyDPIHeight);
  if (quarterTurn) std::swap(dpiX, dpiY);
  auto points = [](int pixels, std::optional<double> dpi) {
    return dpi && *dpi > 0 ? pixels * 72.0 / *dpi : static_cast<double>(pixels);
  };
  platform::Bitmap bitmap = readPixels(context.get(), {points(width, dpiX), points(height, dpiY)});
  if (!bitmap.isValid()) return std::nullopt;
  return bitmap;
}

std::optional<platform::Bitmap> MacImageIO::makeCanvas(int pixelWidth, int pixelHeight) {
  // Plain memory: a bitmap is the canvas here, there is nothing of the system's to make.
  if (!fitsBitmap(pixelWidth, pixelHeight)) return std::nullopt;
  return platform::Bitmap::transparent(pixelWidth, pixelHeight);
}

void MacImageIO::drawImage(const platform::Bitmap& image, platform::Bitmap& canvas,
                           const platform::CanvasRect& into) {
  std::optional<platform::CanvasPixels> covered = platform::canvasPixels(canvas, into);
  if (!image.isValid() || !covered) return;
  const auto [left, top, width, height, x0, y0, x1, y1] = *covered;

  CFPtr<CGImageRef> picture = imageFromBitmap(image);
  CFPtr<CGContextRef> region = makeBitmapContext(x1 - x0, y1 - y0);
  if (!picture || !region) return;
  // The covered pixels go through a context of their own, holding what the canvas had
  // there, so pixels at the rectangle's fractional edges mix with it by coverage.
  storePixels(canvas, x0, y0, region.get());
  CGContextSetBlendMode(region.get(), kCGBlendModeCopy);
  CGContextSetInterpolationQuality(region.get(), kCGInterpolationHigh);
  // The region's y is up: the rectangle's top edge is its maximum y.
  const double regionHeight = y1 - y0;
  CGContextDrawImage(region.get(),
                     CGRectMake(left - x0, regionHeight - (top - y0) - height, width, height),
                     picture.get());

  platform::Bitmap drawn = readPixels(region.get(), {});
  if (!drawn.isValid()) return;
  const std::size_t row = static_cast<std::size_t>(drawn.pixelWidth) * 4;
  for (int y = 0; y < drawn.pixelHeight; ++y) {
    std::memcpy(
        canvas.rgba.data() + (static_cast<std::size_t>(y0 + y) * canvas.pixelWidth + x0) * 4,
        drawn.rgba.data() + row * y, row);
  }
}

std::optional<std::vector<std::uint8_t>> MacImageIO::encodePNG(const platform::Bitmap& bitmap) {
  CFPtr<CGImageRef> image = imageFromBitmap(bitmap);
  if (!image) return std::nullopt;
  return macos::encodePNG(image.get());
}

}  // namespace velmora::macos
