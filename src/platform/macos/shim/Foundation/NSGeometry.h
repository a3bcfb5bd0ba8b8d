#pragma once
// NSGeometry: points, sizes and rectangles, the same structures as Core Graphics' on macOS.

#include <CoreGraphics/CGBase.h>

#include "Foundation/NSObjCRuntime.h"

typedef CGPoint NSPoint;
typedef CGSize NSSize;
typedef CGRect NSRect;

static inline NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h) {
  NSRect r = {{x, y}, {w, h}};
  return r;
}
