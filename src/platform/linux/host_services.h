#pragma once
// The drawing, picture and property-list services a virtual Mac is given rather than making
// its own, so whoever builds one decides whether it really draws. `DrawingHost` owns the real
// ones — Cairo and Pango canvases with the installed fonts, the system's symbols through
// librsvg, gdk-pixbuf pictures and the libplist codec — for the command line, screenshots and
// every test that looks at pixels or text widths. (The virtual Mac's own `sim::PlainHost` draws
// nothing and measures text with fixed metrics, for logic that only needs the answers.)

#include "platform/canvas.h"
#include "platform/image_io.h"
#include "platform/linux/cairo_canvas.h"
#include "platform/linux/pixbuf_image_io.h"
#include "platform/linux/plist_codec.h"
#include "platform/linux/rsvg_symbols.h"
#include "platform/property_lists.h"
#include "platform/symbols.h"

namespace velmora::linuxhost {

// The services, owned elsewhere; they must outlive whatever is given them.
struct HostServices {
  platform::CanvasFactory& canvases;
  platform::Symbols& symbols;
  platform::ImageIO& images;
  platform::PropertyLists& propertyLists;
};

class DrawingHost {
 public:
  DrawingHost() = default;
  DrawingHost(const DrawingHost&) = delete;
  DrawingHost& operator=(const DrawingHost&) = delete;

  HostServices services() { return {canvases_, symbols_, images_, propertyLists_}; }

 private:
  CairoCanvasFactory canvases_;
  RsvgSymbols symbols_;
  PixbufImageIO images_;
  PlistCodec propertyLists_;
};

}  // namespace velmora::linuxhost
