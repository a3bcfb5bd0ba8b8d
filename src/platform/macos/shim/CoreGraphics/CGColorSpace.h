#pragma once
// CGColorSpace: how colour components are read; Velmora draws in sRGB.

#include "CoreGraphics/CGBase.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef struct CF_BRIDGED_TYPE(id) CGColorSpace* CGColorSpaceRef;

// The name of the standard sRGB colour space.
extern const CFStringRef kCGColorSpaceSRGB;

// NULL when no colour space has that name.
CGColorSpaceRef _Nullable CGColorSpaceCreateWithName(CFStringRef name) CF_RETURNS_RETAINED;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
