#pragma once
// NSGeometry: points, sizes and rectangles (the same structures as Core Graphics') and edge
// insets.

#include <CoreGraphics/CGBase.h>

#include "Foundation/NSObjCRuntime.h"

typedef CGPoint NSPoint;
typedef CGSize NSSize;
typedef CGRect NSRect;

// The edges of a rectangle, as Core Graphics numbers them (minY is the bottom edge of an
// unflipped view).
typedef NS_ENUM(NSUInteger, NSRectEdge) {
  NSRectEdgeMinX = 0,
  NSRectEdgeMinY = 1,
  NSRectEdgeMaxX = 2,
  NSRectEdgeMaxY = 3,
};

typedef struct NSEdgeInsets {
  CGFloat top;
  CGFloat left;
  CGFloat bottom;
  CGFloat right;
} NSEdgeInsets;

// The rectangle at the origin with no size.
#if defined(__cplusplus)
extern "C" const NSRect NSZeroRect;
#else
extern const NSRect NSZeroRect;
#endif

static inline NSPoint NSMakePoint(CGFloat x, CGFloat y) {
  NSPoint p = {x, y};
  return p;
}
static inline NSSize NSMakeSize(CGFloat w, CGFloat h) {
  NSSize s = {w, h};
  return s;
}
static inline NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h) {
  NSRect r = {{x, y}, {w, h}};
  return r;
}
