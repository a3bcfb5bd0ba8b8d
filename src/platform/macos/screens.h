#pragma once
// Screens on a Mac: AppKit's NSScreen list (main thread, as all of AppKit) and a display's
// UUID from ColorSync.

#include "platform/screens.h"

namespace velmora::macos {

class MacScreens final : public platform::Screens {
 public:
  std::vector<platform::ScreenInfo> screens() override;
  Value displayUUIDString(std::uint32_t displayID) override;
};

}  // namespace velmora::macos
