#pragma once
// The set of platform services one running copy of Velmora talks to. The virtual Mac
// provides all of them on Linux; the macOS glue provides them on a Mac.

#include "core/main_loop.h"
#include "platform/accessibility.h"
#include "platform/input_clocks.h"
#include "platform/screens.h"
#include "platform/window_server.h"
#include "platform/workspace.h"

namespace velmora::platform {

struct Platform {
  MainLoop& loop;
  WindowServer& windowServer;
  Screens& screens;
  Workspace& workspace;
  InputClocks& inputClocks;
  Accessibility& accessibility;
};

}  // namespace velmora::platform
