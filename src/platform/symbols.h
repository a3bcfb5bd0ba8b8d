#pragma once
// The system's symbols: NSImage(systemSymbolName:accessibilityDescription:) with a symbol
// configuration of point size, weight and a one-colour palette on a Mac; a stand-in drawn
// from the desktop's symbolic icon theme on Linux.

#include <memory>
#include <string>

#include "platform/canvas.h"

namespace velmora::platform {

// The weights a symbol is asked for in; a symbol's strokes thicken as the weight grows, as
// the interface font's do.
using SymbolWeight = FontWeight;

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
