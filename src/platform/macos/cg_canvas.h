#pragma once
// The canvas over Core Graphics and Core Text: the same painter code that draws with Cairo
// on Linux draws here. Offscreen canvases are bitmap contexts; panels and menu images paint
// through a canvas over the context AppKit hands their view.

#include <CoreGraphics/CoreGraphics.h>

#include <memory>

#include "platform/canvas.h"

namespace velmora::macos {

// A canvas drawing into an existing context whose user space is in points with y up (as an
// unflipped NSView's drawRect: gives it); the canvas flips it so painters see y down. The
// context must outlive the canvas.
std::unique_ptr<platform::Canvas> makeContextCanvas(CGContextRef context, Size points,
                                                    double scale);

class CGCanvasFactory final : public platform::CanvasFactory {
 public:
  // A transparent sRGB bitmap context of ceil(points × scale) pixels.
  std::unique_ptr<platform::Canvas> makeCanvas(Size points, double scale) override;
};

}  // namespace velmora::macos
