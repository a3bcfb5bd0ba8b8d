#pragma once
// Screens as AppKit describes them (NSScreen) and the Quartz display-UUID lookup.

#include <cstdint>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/value.h"

namespace velmora::platform {

struct ScreenInfo {
  ScreenRect frame;         // drawing coordinates; the main screen has its origin at 0,0
  ScreenRect visibleFrame;  // without the menu bar and the Dock
  double backingScaleFactor = 2;
  std::string localizedName;
  // NSScreen.deviceDescription: holds "NSScreenNumber" (the display number) among others.
  Value deviceDescription;
};

class Screens {
 public:
  virtual ~Screens() = default;
  // NSScreen.screens, in AppKit's order (the main screen first).
  virtual std::vector<ScreenInfo> screens() = 0;
  // CGDisplayCreateUUIDFromDisplayID + CFUUIDCreateString: a string, or null when the
  // display has no UUID.
  virtual Value displayUUIDString(std::uint32_t displayID) = 0;
};

}  // namespace velmora::platform
