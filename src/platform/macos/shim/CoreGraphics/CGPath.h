#pragma once
// CGPath: outlines of lines and cubic Bézier curves.

#include "CoreGraphics/CGAffineTransform.h"
#include "CoreGraphics/CGBase.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef struct CF_BRIDGED_TYPE(id) CGPath* CGMutablePathRef;
typedef const struct CF_BRIDGED_TYPE(id) CGPath* CGPathRef;

CGMutablePathRef CGPathCreateMutable(void) CF_RETURNS_RETAINED;
// Each takes an optional transform applied to the points before they are added.
void CGPathMoveToPoint(CGMutablePathRef _Nullable path, const CGAffineTransform* _Nullable m,
                       CGFloat x, CGFloat y);
void CGPathAddLineToPoint(CGMutablePathRef _Nullable path, const CGAffineTransform* _Nullable m,
                          CGFloat x, CGFloat y);
void CGPathAddCurveToPoint(CGMutablePathRef _Nullable path, const CGAffineTransform* _Nullable m,
                           CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x,
                           CGFloat y);
void CGPathCloseSubpath(CGMutablePathRef _Nullable path);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
