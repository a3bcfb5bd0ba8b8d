#pragma once
// The services a virtual Mac uses when it is given none: enough for logic tests and
// benchmarks that never look at what is drawn, without fonts, icon themes or a single pixel.
//
// - Canvases draw nothing. Text measures with fixed metrics: each UTF-8 code point is half
//   the point size wide (so "Desktop" at 13 points is 45.5 points), a line is 1.2 times the
//   point size high, and a cut line keeps the longest prefix of whole code points that fits
//   with its "…". bitmap() answers transparent pixels of the canvas's size; encodePNG() none.
// - Symbols are blank images, point size square, for every name the drawing host knows too
//   (so a missing symbol falls back the same way in both); none for any other name.
// - Pictures (gdk-pixbuf) and property lists (libplist) are the real ones: they need no fonts.

#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/linux/host_services.h"
#include "platform/linux/pixbuf_image_io.h"
#include "platform/linux/plist_codec.h"
#include "platform/symbols.h"

namespace velmora::sim {

class PlainCanvasFactory final : public platform::CanvasFactory {
 public:
  // How wide one code point is, as a share of the point size; how high a line is.
  static constexpr double kAdvanceShare = 0.5;
  static constexpr double kLineHeightShare = 1.2;

  std::unique_ptr<platform::Canvas> makeCanvas(Size points, double scale) override;
};

class PlainSymbols final : public platform::Symbols {
 public:
  std::shared_ptr<platform::VectorImage> symbol(const std::string& name, double pointSize,
                                                platform::SymbolWeight weight,
                                                const platform::Color& color) override;
};

class PlainHost {
 public:
  PlainHost() = default;
  PlainHost(const PlainHost&) = delete;
  PlainHost& operator=(const PlainHost&) = delete;

  linuxhost::HostServices services() { return {canvases_, symbols_, images_, propertyLists_}; }

 private:
  PlainCanvasFactory canvases_;
  PlainSymbols symbols_;
  linuxhost::PixbufImageIO images_;
  linuxhost::PlistCodec propertyLists_;
};

}  // namespace velmora::sim
