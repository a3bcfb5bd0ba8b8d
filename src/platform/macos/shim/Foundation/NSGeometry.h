#pragma once
// NSGeometry: AppKit's points, sizes and rectangles, the same structures as Core Graphics'.

#include <CoreGraphics/CGBase.h>

typedef CGPoint NSPoint;
typedef CGSize NSSize;
typedef CGRect NSRect;

static inline NSPoint NSMakePoint(CGFloat x, CGFloat y) {
  NSPoint p = {x, y};
  return p;
}
static inline NSSize NSMakeSize(CGFloat w, CGFloat h) {
  NSSize s = {w, h};
  return s;
}
