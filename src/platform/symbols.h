#pragma once
// The system's symbols: NSImage(systemSymbolName:accessibilityDescription:) with a symbol
// configuration of point size, weight and a one-colour palette on a Mac; a stand-in drawn
// from the desktop's symbolic icon theme on Linux.

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/image_io.h"

namespace velmora::platform {

// The weights a symbol is asked for in; a symbol's strokes thicken as the weight grows, as
// the interface font's do.
using SymbolWeight = FontWeight;

// A symbol image both platforms draw the same way: rendered into pixels at the size it is shown
// at on the canvas's backing scale, and kept while it is drawn at that size again (a tile
// redraws its symbol on every refresh).
class RenderedSymbol : public VectorImage {
 public:
  void draw(Canvas& canvas, const CanvasRect& into) const final {
    if (!(into.width > 0 && into.height > 0)) return;
    double scale = canvas.scale() > 0 ? canvas.scale() : 1;
    int width = std::clamp(static_cast<int>(std::ceil(into.width * scale)), 1, kMaxPixels);
    int height = std::clamp(static_cast<int>(std::ceil(into.height * scale)), 1, kMaxPixels);
    if (cached_.pixelWidth != width || cached_.pixelHeight != height) {
      cached_ = render(width, height);
    }
    canvas.drawImage(cached_, into);
  }

 protected:
  // The whole symbol over `width` × `height` pixels.
  virtual Bitmap render(int width, int height) const = 0;

 private:
  // Beyond this many pixels a side, a symbol is rendered at this size and stretched.
  static constexpr int kMaxPixels = 4096;
  mutable Bitmap cached_;
};

class Symbols {
 public:
  virtual ~Symbols() = default;

  // The symbol `name` ("house.fill") configured for `pointSize` and `weight`, drawn entirely
  // in `color` and never recoloured afterwards (not a template). Its natural size follows
  // the symbol's own proportions at that point size. None when the system has no symbol of
  // that name.
  virtual std::shared_ptr<VectorImage> symbol(const std::string& name, double pointSize,
                                              SymbolWeight weight, const Color& color) = 0;
};

}  // namespace velmora::platform
