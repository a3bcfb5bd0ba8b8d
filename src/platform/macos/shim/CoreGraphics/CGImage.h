#pragma once
// CGImage: bitmap images, and the pixel-format flags bitmaps are described with.

#include "CoreGraphics/CGBase.h"
#include "CoreGraphics/CGColorSpace.h"
#include "CoreGraphics/CGDataProvider.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef struct CF_BRIDGED_TYPE(id) CGImage* CGImageRef;

// Where alpha sits in a pixel and whether the colour components are multiplied by it.
typedef CF_ENUM(uint32_t, CGImageAlphaInfo) {
  kCGImageAlphaNone = 0,
  kCGImageAlphaPremultipliedLast = 1,
  kCGImageAlphaPremultipliedFirst = 2,
  kCGImageAlphaLast = 3,
  kCGImageAlphaFirst = 4,
  kCGImageAlphaNoneSkipLast = 5,
  kCGImageAlphaNoneSkipFirst = 6,
  kCGImageAlphaOnly = 7,
};

// An alpha info combined with a byte order: 32Big stores a 32-bit pixel's components in the
// order they are named (R, G, B, A for "Last").
typedef CF_OPTIONS(uint32_t, CGBitmapInfo) {
  kCGBitmapByteOrder32Big = (4 << 12),
};

typedef CF_ENUM(int32_t, CGColorRenderingIntent) {
  kCGRenderingIntentDefault = 0,
};

CGImageRef _Nullable CGImageCreate(size_t width, size_t height, size_t bitsPerComponent,
                                   size_t bitsPerPixel, size_t bytesPerRow,
                                   CGColorSpaceRef _Nullable space, CGBitmapInfo bitmapInfo,
                                   CGDataProviderRef _Nullable provider,
                                   const CGFloat* _Nullable decode, bool shouldInterpolate,
                                   CGColorRenderingIntent intent) CF_RETURNS_RETAINED;
size_t CGImageGetWidth(CGImageRef _Nullable image);
size_t CGImageGetHeight(CGImageRef _Nullable image);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
