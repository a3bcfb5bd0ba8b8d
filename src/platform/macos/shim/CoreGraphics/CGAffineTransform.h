#pragma once
// CGAffineTransform: the 3 × 3 matrices (six numbers) that map one coordinate space onto
// another: x' = a·x + c·y + tx, y' = b·x + d·y + ty.

#include "CoreGraphics/CGBase.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

struct CGAffineTransform {
  CGFloat a, b, c, d;
  CGFloat tx, ty;
};
typedef struct CGAffineTransform CGAffineTransform;

CGAffineTransform CGAffineTransformMake(CGFloat a, CGFloat b, CGFloat c, CGFloat d, CGFloat tx,
                                        CGFloat ty);
CGAffineTransform CGAffineTransformMakeScale(CGFloat sx, CGFloat sy);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
