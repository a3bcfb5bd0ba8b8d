#pragma once
// What the AppKit-drawn parts of the layer share: the interface font's weights as AppKit names
// them (the status item's title, the panels' text fields, the symbols), and pictures AppKit
// draws (symbols, applications' icons) rasterised at the size they are shown.

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

#include <memory>

#include "platform/canvas.h"

namespace velmora::macos {

// The NSFontWeight of a weight (NSFontWeight is a CGFloat).
CGFloat appKitFontWeight(platform::FontWeight weight);

// An NSImage, handed over through __bridge, as a picture of the image's size that AppKit
// rasterises at the size and backing scale it is drawn at; it keeps the image. Null for null.
// It draws on whichever thread draws the canvas it is drawn on.
std::shared_ptr<platform::VectorImage> makeAppKitPicture(CFTypeRef nsImage);

}  // namespace velmora::macos
