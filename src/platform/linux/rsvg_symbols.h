#pragma once
// The system's symbols on Linux, for the virtual Mac: each symbol name Velmora asks for
// stands for a look-alike icon of the Adwaita symbolic theme, drawn by librsvg.
//
// How a symbol comes out:
//  - Size: the icon's 16-unit design square spans the point size, so a 16 pt symbol is
//    16 × 16 points (wider or taller only for an icon that is not square).
//  - Colour: the icon is rendered into an alpha mask at the pixel size of the place it is
//    drawn, and the mask is filled with the asked colour. Symbolic icons are one-colour
//    shapes whose lighter parts are partial opacity, so those stay lighter; a stylesheet
//    could not do this, since it would also fill outlines meant only as strokes. The mask
//    has the canvas's backing scale; a canvas transform that enlarges the symbol further
//    stretches those pixels.
//  - Weight: Adwaita draws every icon at one weight, which reads as regular. Heavier weights
//    grow the mask outwards by a small share of the point size (an outset, as a bolder
//    stroke would), and the image grows by the same margin on every side, so nothing is cut
//    off at the edges. Scaling up instead would make a bold symbol look larger, not heavier.

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/symbols.h"

namespace velmora::linuxhost {

// Where Debian's adwaita-icon-theme installs the theme.
inline constexpr const char* kAdwaitaFolder = "/usr/share/icons/Adwaita";

// One icon file, parsed once and shared by every image drawn from it.
struct SymbolDocument;

class RsvgSymbols final : public platform::Symbols {
 public:
  explicit RsvgSymbols(std::filesystem::path themeFolder = kAdwaitaFolder);
  ~RsvgSymbols() override;
  RsvgSymbols(const RsvgSymbols&) = delete;
  RsvgSymbols& operator=(const RsvgSymbols&) = delete;

  // None as well when the stand-in icon is missing from the theme folder or cannot be read,
  // and for a point size that is not a positive number. Images share the loaded icon; they
  // are drawn on the main thread only.
  std::shared_ptr<platform::VectorImage> symbol(const std::string& name, double pointSize,
                                                platform::SymbolWeight weight,
                                                const platform::Color& color) override;

  // The theme icon standing in for a symbol ("user-home" for "house.fill"); none for a
  // symbol without one.
  static std::optional<std::string_view> iconName(std::string_view symbol);
  // Every symbol that has a stand-in.
  static std::vector<std::string_view> symbolNames();

  // The theme folder's file for a theme icon's symbolic form; none when it has none.
  std::optional<std::filesystem::path> iconFile(std::string_view iconName);

  // How far a weight grows a symbol's strokes outwards, as a share of its point size.
  static double outsetShare(platform::SymbolWeight weight);

 private:
  std::shared_ptr<const SymbolDocument> document(std::string_view iconName);

  std::filesystem::path folder_;
  // Icon name → symbolic SVG file, read from the theme folder on first use.
  std::optional<std::map<std::string, std::filesystem::path, std::less<>>> files_;
  // Loaded icons, and null for those that could not be loaded, so each file is read once.
  std::map<std::string, std::shared_ptr<const SymbolDocument>, std::less<>> documents_;
};

}  // namespace velmora::linuxhost
