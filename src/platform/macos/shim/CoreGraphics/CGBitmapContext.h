#pragma once
// CGBitmapContext: drawing into memory.

#include "CoreGraphics/CGBase.h"
#include "CoreGraphics/CGColorSpace.h"
#include "CoreGraphics/CGContext.h"
#include "CoreGraphics/CGImage.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

// With NULL `data` the context allocates (and later frees) the pixels itself; a
// `bytesPerRow` of 0 lets it choose. NULL when the format is not supported or memory runs out.
CGContextRef _Nullable CGBitmapContextCreate(void* _Nullable data, size_t width, size_t height,
                                             size_t bitsPerComponent, size_t bytesPerRow,
                                             CGColorSpaceRef _Nullable space,
                                             uint32_t bitmapInfo) CF_RETURNS_RETAINED;
// The pixels, first row at the top; NULL for a context that is not a bitmap context.
void* _Nullable CGBitmapContextGetData(CGContextRef _Nullable context);
size_t CGBitmapContextGetWidth(CGContextRef _Nullable context);
size_t CGBitmapContextGetHeight(CGContextRef _Nullable context);
size_t CGBitmapContextGetBytesPerRow(CGContextRef _Nullable context);
// A copy of the pixels as an image; NULL for a context that is not a bitmap context.
CGImageRef _Nullable CGBitmapContextCreateImage(CGContextRef _Nullable context) CF_RETURNS_RETAINED;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
