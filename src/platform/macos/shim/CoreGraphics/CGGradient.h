#pragma once
// CGGradient: colours at locations along an axis.

#include "CoreGraphics/CGBase.h"
#include "CoreGraphics/CGColorSpace.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef struct CF_BRIDGED_TYPE(id) CGGradient* CGGradientRef;

// Whether the end colours continue beyond the start and end points.
typedef CF_OPTIONS(uint32_t, CGGradientDrawingOptions) {
  kCGGradientDrawsBeforeStartLocation = (1 << 0),
  kCGGradientDrawsAfterEndLocation = (1 << 1),
};

// `components` holds `count` colours of the space's component count plus alpha each;
// `locations` holds `count` values 0…1 (NULL spreads them evenly).
CGGradientRef _Nullable CGGradientCreateWithColorComponents(CGColorSpaceRef _Nullable space,
                                                            const CGFloat* _Nullable components,
                                                            const CGFloat* _Nullable locations,
                                                            size_t count) CF_RETURNS_RETAINED;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
