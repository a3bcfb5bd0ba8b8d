#pragma once
// The system's symbols (SF Symbols) through NSImage, drawn onto any canvas as pictures
// rasterised at the canvas's backing scale.

#include "platform/symbols.h"

namespace velmora::macos {

class MacSymbols final : public platform::Symbols {
 public:
  // None as well for a point size that is not a positive number. The images draw on
  // whichever thread draws the canvas they are drawn on.
  std::shared_ptr<platform::VectorImage> symbol(const std::string& name, double pointSize,
                                                platform::SymbolWeight weight,
                                                const platform::Color& color) override;
};

}  // namespace velmora::macos
