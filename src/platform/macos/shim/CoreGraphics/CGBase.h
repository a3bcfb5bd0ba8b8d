#pragma once
// CGBase and CGGeometry: CGFloat, points, sizes, rectangles, and the context type.

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef double CGFloat;

struct CGPoint {
  CGFloat x;
  CGFloat y;
};
typedef struct CGPoint CGPoint;
struct CGSize {
  CGFloat width;
  CGFloat height;
};
typedef struct CGSize CGSize;
struct CGRect {
  CGPoint origin;
  CGSize size;
};
typedef struct CGRect CGRect;

static inline CGPoint CGPointMake(CGFloat x, CGFloat y) {
  CGPoint p = {x, y};
  return p;
}
static inline CGSize CGSizeMake(CGFloat width, CGFloat height) {
  CGSize s = {width, height};
  return s;
}
static inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
  CGRect r = {{x, y}, {width, height}};
  return r;
}

typedef int32_t CGError;
enum { kCGErrorSuccess = 0, kCGErrorFailure = 1000, kCGErrorIllegalArgument = 1001 };

typedef struct CF_BRIDGED_TYPE(id) CGContext* CGContextRef;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
