#pragma once
// The real drawing services — Cairo and Pango with the installed fonts, librsvg symbols,
// gdk-pixbuf, libplist — for the tests that look at drawn pixels or measured text. Made once
// and shared: loading fonts is the slow part, and nothing in them changes between tests.

#include "platform/linux/host_services.h"

namespace velmora::test_support {

inline linuxhost::HostServices drawingHost() {
  static linuxhost::DrawingHost host;
  return host.services();
}

}  // namespace velmora::test_support
