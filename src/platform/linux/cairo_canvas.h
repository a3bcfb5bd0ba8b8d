#pragma once
// Drawing on Linux: Cairo image surfaces for the pixels, Pango for the text. A canvas of
// W × H points at scale s is an ARGB surface of ceil(W·s) × ceil(H·s) pixels.
//
// Fonts: the interface font is Inter (Debian's fonts-inter, a neo-grotesque with real
// medium and semibold cuts, the closest free match for the Mac's system font), or DejaVu
// Sans when Inter is not installed; emoji come from Noto Color Emoji
// (fonts-noto-color-emoji). Text is laid out unhinted, so a line measures the same number
// of points at every backing scale, as on a Mac.

#include <memory>
#include <string>

#include "platform/canvas.h"

namespace velmora::linuxhost {

class CairoCanvasFactory final : public platform::CanvasFactory {
 public:
  std::unique_ptr<platform::Canvas> makeCanvas(Size points, double scale) override;
};

// The family the system font stands in with on this machine ("Inter" or "DejaVu Sans").
const std::string& systemFontFamily();
// Whether the colour emoji font is installed.
bool hasColorEmojiFont();

}  // namespace velmora::linuxhost
