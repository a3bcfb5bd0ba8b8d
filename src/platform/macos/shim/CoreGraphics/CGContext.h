#pragma once
// CGContext: the graphics state (transform, clip, alpha, shadow, blend mode) and the
// drawing operations.

#include "CoreGraphics/CGAffineTransform.h"
#include "CoreGraphics/CGBase.h"
#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGGradient.h"
#include "CoreGraphics/CGImage.h"
#include "CoreGraphics/CGPath.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef CF_ENUM(int32_t, CGInterpolationQuality) {
  kCGInterpolationDefault = 0,
  kCGInterpolationNone = 1,
  kCGInterpolationLow = 2,
  kCGInterpolationHigh = 3,
  kCGInterpolationMedium = 4,
};

typedef CF_ENUM(int32_t, CGBlendMode) {
  kCGBlendModeNormal = 0,
  // R = S: the source replaces the destination.
  kCGBlendModeCopy = 17,
};

// The graphics state stack.
void CGContextSaveGState(CGContextRef _Nullable c);
void CGContextRestoreGState(CGContextRef _Nullable c);

// The current transformation matrix (user space to device space).
void CGContextTranslateCTM(CGContextRef _Nullable c, CGFloat tx, CGFloat ty);
void CGContextScaleCTM(CGContextRef _Nullable c, CGFloat sx, CGFloat sy);
void CGContextConcatCTM(CGContextRef _Nullable c, CGAffineTransform transform);
// A size in user space as the device (pixels) sees it.
CGSize CGContextConvertSizeToDeviceSpace(CGContextRef _Nullable c, CGSize size);

// Graphics state parameters.
void CGContextSetAlpha(CGContextRef _Nullable c, CGFloat alpha);
void CGContextSetLineWidth(CGContextRef _Nullable c, CGFloat width);
void CGContextSetBlendMode(CGContextRef _Nullable c, CGBlendMode mode);
void CGContextSetInterpolationQuality(CGContextRef _Nullable c, CGInterpolationQuality quality);
void CGContextSetFillColorWithColor(CGContextRef _Nullable c, CGColorRef _Nullable color);
void CGContextSetStrokeColorWithColor(CGContextRef _Nullable c, CGColorRef _Nullable color);
// The offset is in base space and, like the blur, not affected by the CTM. A NULL colour
// turns shadows off.
void CGContextSetShadowWithColor(CGContextRef _Nullable c, CGSize offset, CGFloat blur,
                                 CGColorRef _Nullable color);

// The current path, and painting it (both use the non-zero winding rule).
void CGContextBeginPath(CGContextRef _Nullable c);
void CGContextAddPath(CGContextRef _Nullable c, CGPathRef _Nullable path);
void CGContextFillPath(CGContextRef _Nullable c);
void CGContextStrokePath(CGContextRef _Nullable c);

// Clipping: intersects the clip with the current path (which is then cleared), or a rectangle.
void CGContextClip(CGContextRef _Nullable c);
void CGContextClipToRect(CGContextRef _Nullable c, CGRect rect);

void CGContextDrawLinearGradient(CGContextRef _Nullable c, CGGradientRef _Nullable gradient,
                                 CGPoint startPoint, CGPoint endPoint,
                                 CGGradientDrawingOptions options);
// Draws the image scaled into `rect`, its first row at the rectangle's maximum y.
void CGContextDrawImage(CGContextRef _Nullable c, CGRect rect, CGImageRef _Nullable image);

// Drawing into an offscreen layer composited as one, with the alpha and shadow in force at
// the beginning.
void CGContextBeginTransparencyLayer(CGContextRef _Nullable c,
                                     CFDictionaryRef _Nullable auxiliaryInfo);
void CGContextEndTransparencyLayer(CGContextRef _Nullable c);

// The text matrix is not part of the graphics state. The text position is its translation.
void CGContextSetTextMatrix(CGContextRef _Nullable c, CGAffineTransform t);
CGAffineTransform CGContextGetTextMatrix(CGContextRef _Nullable c);
void CGContextSetTextPosition(CGContextRef _Nullable c, CGFloat x, CGFloat y);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
