#include "platform/macos/cg_bitmap.h"

#include <ImageIO/ImageIO.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace velmora::macos {

namespace {

// R, G, B, A bytes in that order in memory. (The alpha info is an enumeration of its own in
// C++, the byte order a plain flag.)
constexpr std::uint32_t kPremultipliedRGBA =
    static_cast<std::uint32_t>(kCGImageAlphaPremultipliedLast) | kCGBitmapByteOrder32Big;
constexpr std::uint32_t kStraightRGBA =
    static_cast<std::uint32_t>(kCGImageAlphaLast) | kCGBitmapByteOrder32Big;

// Sizes whose bytes fit an int-indexed row and a size_t buffer without overflow.
bool fits(int width, int height) {
  return width > 0 && height > 0 && width <= INT_MAX / 4 / height;
}

std::uint8_t straight(unsigned component, unsigned alpha) {
  if (alpha == 0) return 0;
  return static_cast<std::uint8_t>(std::min(255u, (component * 255 + alpha / 2) / alpha));
}

}  // namespace

CGColorSpaceRef sRGBColorSpace() {
  static const CFPtr<CGColorSpaceRef> space =
      CFPtr<CGColorSpaceRef>::adopt(CGColorSpaceCreateWithName(kCGColorSpaceSRGB));
  return space.get();
}

CFPtr<CGContextRef> makeBitmapContext(int pixelWidth, int pixelHeight) {
  if (!fits(pixelWidth, pixelHeight)) return nullptr;
  CFPtr<CGContextRef> context = CFPtr<CGContextRef>::adopt(CGBitmapContextCreate(
      nullptr, static_cast<std::size_t>(pixelWidth), static_cast<std::size_t>(pixelHeight), 8, 0,
      sRGBColorSpace(), kPremultipliedRGBA));
  if (!context) return nullptr;
  // The documentation does not promise that the memory it allocates starts out clear.
  if (void* data = CGBitmapContextGetData(context.get())) {
    std::memset(data, 0, CGBitmapContextGetBytesPerRow(context.get()) * pixelHeight);
  }
  return context;
}

platform::Bitmap readPixels(CGContextRef context, Size pointSize) {
  platform::Bitmap out;
  out.pointSize = pointSize;
  const auto* data = static_cast<const std::uint8_t*>(CGBitmapContextGetData(context));
  const std::size_t width = CGBitmapContextGetWidth(context);
  const std::size_t height = CGBitmapContextGetHeight(context);
  const std::size_t stride = CGBitmapContextGetBytesPerRow(context);
  if (!data || width > INT_MAX || height > INT_MAX ||
      !fits(static_cast<int>(width), static_cast<int>(height))) {
    return out;
  }
  out.pixelWidth = static_cast<int>(width);
  out.pixelHeight = static_cast<int>(height);
  out.rgba.resize(width * height * 4);
  std::uint8_t* dst = out.rgba.data();
  for (std::size_t y = 0; y < height; ++y) {
    const std::uint8_t* src = data + y * stride;
    for (std::size_t x = 0; x < width; ++x, src += 4, dst += 4) {
      const unsigned a = src[3];
      dst[0] = straight(src[0], a);
      dst[1] = straight(src[1], a);
      dst[2] = straight(src[2], a);
      dst[3] = static_cast<std::uint8_t>(a);
    }
  }
  return out;
}

void storePixels(const platform::Bitmap& source, int x, int y, CGContextRef context) {
  auto* data = static_cast<std::uint8_t*>(CGBitmapContextGetData(context));
  if (!data || !source.isValid()) return;
  const int width = static_cast<int>(CGBitmapContextGetWidth(context));
  const int height = static_cast<int>(CGBitmapContextGetHeight(context));
  const std::size_t stride = CGBitmapContextGetBytesPerRow(context);
  for (int row = 0; row < height && y + row < source.pixelHeight; ++row) {
    if (y + row < 0) continue;
    std::uint8_t* dst = data + static_cast<std::size_t>(row) * stride;
    for (int column = 0; column < width && x + column < source.pixelWidth; ++column) {
      if (x + column < 0) continue;
      const std::uint8_t* src =
          source.rgba.data() +
          (static_cast<std::size_t>(y + row) * source.pixelWidth + (x + column)) * 4;
      const unsigned a = src[3];
      std::uint8_t* pixel = dst + static_cast<std::size_t>(column) * 4;
      for (int c = 0; c < 3; ++c) pixel[c] = static_cast<std::uint8_t>((src[c] * a + 127) / 255);
      pixel[3] = static_cast<std::uint8_t>(a);
    }
  }
}

CFPtr<CGImageRef> imageFromBitmap(const platform::Bitmap& bitmap) {
  if (!bitmap.isValid()) return nullptr;
  CFPtr<CFDataRef> bytes = CFPtr<CFDataRef>::adopt(CFDataCreate(
      kCFAllocatorDefault, bitmap.rgba.data(), static_cast<CFIndex>(bitmap.rgba.size())));
  if (!bytes) return nullptr;
  CFPtr<CGDataProviderRef> provider =
      CFPtr<CGDataProviderRef>::adopt(CGDataProviderCreateWithCFData(bytes.get()));
  if (!provider) return nullptr;
  return CFPtr<CGImageRef>::adopt(CGImageCreate(
      static_cast<std::size_t>(bitmap.pixelWidth), static_cast<std::size_t>(bitmap.pixelHeight), 8,
      32, static_cast<std::size_t>(bitmap.pixelWidth) * 4, sRGBColorSpace(), kStraightRGBA,
      provider.get(), nullptr, true, kCGRenderingIntentDefault));
}

std::optional<std::vector<std::uint8_t>> encodePNG(CGImageRef image) {
  if (!image) return std::nullopt;
  CFPtr<CFMutableDataRef> data =
      CFPtr<CFMutableDataRef>::adopt(CFDataCreateMutable(kCFAllocatorDefault, 0));
  if (!data) return std::nullopt;
  CFPtr<CGImageDestinationRef> destination = CFPtr<CGImageDestinationRef>::adopt(
      CGImageDestinationCreateWithData(data.get(), CFSTR("public.png"), 1, nullptr));
  if (!destination) return std::nullopt;
  CGImageDestinationAddImage(destination.get(), image, nullptr);
  if (!CGImageDestinationFinalize(destination.get())) return std::nullopt;
  const UInt8* bytes = CFDataGetBytePtr(data.get());
  const CFIndex length = CFDataGetLength(data.get());
  if (!bytes || length <= 0) return std::nullopt;
  return std::vector<std::uint8_t>(bytes, bytes + length);
}

}  // namespace velmora::macos
