#pragma once
// CGImageDestination: writing images into a file format.

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef struct CF_BRIDGED_TYPE(id) CGImageDestination* CGImageDestinationRef;

// Writes `count` images of the type (a uniform type identifier, "public.png") into `data`;
// NULL when the type cannot be written.
CGImageDestinationRef _Nullable CGImageDestinationCreateWithData(
    CFMutableDataRef data, CFStringRef type, size_t count,
    CFDictionaryRef _Nullable options) CF_RETURNS_RETAINED;
void CGImageDestinationAddImage(CGImageDestinationRef idst, CGImageRef image,
                                CFDictionaryRef _Nullable properties);
// Writes the data out; false when it could not.
bool CGImageDestinationFinalize(CGImageDestinationRef idst);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
