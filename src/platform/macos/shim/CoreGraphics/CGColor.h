#pragma once
// CGColor: a colour with its colour space.

#include "CoreGraphics/CGBase.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef struct CF_BRIDGED_TYPE(id) CGColor* CGColorRef;

// Components 0…1 in the sRGB colour space (macOS 10.15).
CGColorRef CGColorCreateSRGB(CGFloat red, CGFloat green, CGFloat blue,
                             CGFloat alpha) CF_RETURNS_RETAINED;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
