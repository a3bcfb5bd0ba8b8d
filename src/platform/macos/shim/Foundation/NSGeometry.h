#pragma once
// NSGeometry: rectangles (the same structure as CGRect) and edge insets.

#include <CoreGraphics/CGBase.h>

#include "Foundation/NSObjCRuntime.h"

typedef CGRect NSRect;

typedef struct NSEdgeInsets {
  CGFloat top;
  CGFloat left;
  CGFloat bottom;
  CGFloat right;
} NSEdgeInsets;
