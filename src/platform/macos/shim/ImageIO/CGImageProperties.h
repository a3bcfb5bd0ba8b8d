#pragma once
// CGImageProperties: keys of an image's properties dictionary.

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

// A CFNumber 1…8, the TIFF/EXIF orientation: how the stored rows and columns are turned
// and mirrored against the upright picture. 1 (upright) when absent.
extern const CFStringRef kCGImagePropertyOrientation;
// CFNumbers: the resolution in dots per inch.
extern const CFStringRef kCGImagePropertyDPIWidth;
extern const CFStringRef kCGImagePropertyDPIHeight;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
