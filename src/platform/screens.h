#pragma once
// Screens as AppKit describes them (NSScreen) and the Quartz display-UUID lookup.

#include <cstdint>
#include <optional>
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
  // A display with a camera housing: the menu-bar areas left and right of it
  // (auxiliaryTopLeftArea / auxiliaryTopRightArea, drawing coordinates) and the height the
  // housing takes from the top (safeAreaInsets.top). None and 0 on other displays.
  std::optional<ScreenRect> auxiliaryTopLeftArea;
  std::optional<ScreenRect> auxiliaryTopRightArea;
  double safeAreaTopInset = 0;
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
