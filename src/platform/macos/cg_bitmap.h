#pragma once
// Pixels between Velmora's bitmaps and Core Graphics, shared by the canvas, the picture
// files and the symbols: every offscreen drawing is an sRGB context of 8-bit premultiplied
// RGBA (the one format bitmap contexts draw RGBA into), and every bitmap leaving one is
// straight RGBA again.

#include <CoreGraphics/CoreGraphics.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "core/geometry.h"
#include "platform/image_io.h"
#include "platform/macos/cf_ptr.h"

namespace velmora::macos {

// Borrowed; lives as long as the process. Null only if the system has no sRGB space.
CGColorSpaceRef sRGBColorSpace();

// A cleared bitmap context of that many pixels, its user space the pixels with y up; null
// when a size is not positive or the pixels cannot be allocated.
CFPtr<CGContextRef> makeBitmapContext(int pixelWidth, int pixelHeight);

// The pixels of a context makeBitmapContext made, straight, with `pointSize` as the logical
// size. An invalid bitmap for a context that is not a bitmap context.
platform::Bitmap readPixels(CGContextRef context, Size pointSize);

// Copies the part of `source` that starts at (x, y) and is as large as the context into a
// context makeBitmapContext made, premultiplying it (so drawing there blends with it).
void storePixels(const platform::Bitmap& source, int x, int y, CGContextRef context);

// The bitmap as an sRGB image with straight alpha, so nothing is lost before it is drawn or
// encoded; null for an invalid bitmap.
CFPtr<CGImageRef> imageFromBitmap(const platform::Bitmap& bitmap);

// The image as a PNG file's bytes with no extra properties; none when Image I/O fails.
std::optional<std::vector<std::uint8_t>> encodePNG(CGImageRef image);

}  // namespace velmora::macos
