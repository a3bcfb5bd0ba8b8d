#pragma once
// CGImageSource: the images in a picture file and their properties.

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef struct CF_BRIDGED_TYPE(id) CGImageSource* CGImageSourceRef;

typedef CF_ENUM(int32_t, CGImageSourceStatus) {
  kCGImageStatusUnexpectedEOF = -5,
  kCGImageStatusInvalidData = -4,
  kCGImageStatusUnknownType = -3,
  kCGImageStatusReadingHeader = -2,
  kCGImageStatusIncomplete = -1,
  kCGImageStatusComplete = 0,
};

// NULL when the file cannot be read.
CGImageSourceRef _Nullable CGImageSourceCreateWithURL(
    CFURLRef url, CFDictionaryRef _Nullable options) CF_RETURNS_RETAINED;
// The number of images (0 for a file that holds none Image I/O can read).
size_t CGImageSourceGetCount(CGImageSourceRef isrc);
CGImageSourceStatus CGImageSourceGetStatus(CGImageSourceRef isrc);
CGImageSourceStatus CGImageSourceGetStatusAtIndex(CGImageSourceRef isrc, size_t index);
// NULL when the image cannot be decoded.
CGImageRef _Nullable CGImageSourceCreateImageAtIndex(
    CGImageSourceRef isrc, size_t index, CFDictionaryRef _Nullable options) CF_RETURNS_RETAINED;
// The image's properties (kCGImageProperty… keys); NULL when there are none.
CFDictionaryRef _Nullable CGImageSourceCopyPropertiesAtIndex(
    CGImageSourceRef isrc, size_t index, CFDictionaryRef _Nullable options) CF_RETURNS_RETAINED;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
