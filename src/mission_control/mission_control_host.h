#pragma once
// Which system process runs Mission Control on this version of macOS, and the few lengths
// that follow from it. Up to macOS 26 the Dock draws it; from 27 on the window manager
// does, on its own window layer, with buttons reported by their centre and wider labels.

#include <cstdint>
#include <string>

#include "platform/launch_services.h"

namespace velmora {

struct MissionControlHost {
  int systemMajorVersion = 26;
  bool usesWindowManager = false;     // major >= 27
  std::string bundleIdentifier;       // "com.apple.dock" / "com.apple.WindowManager"
  std::string windowOwner;            // "Dock" / "WindowManager"
  std::int32_t windowLayer = 18;      // 18 / 19
  double passInterval = 0.1;          // steady geometry pass: 0.1 / 1.0/30
  double labelPadding = 10;           // 10 / 24, added to a measured label width
  double pillExtraWidth = 10;         // 10 / 2, pills reach this far beyond the system label
  double collapsedPillMinHeight = 0;  // 0 / 23

  static MissionControlHost forVersion(int systemMajorVersion);
};

// "/System/Applications/Mission Control.app" as a file URL (space percent-encoded).
inline constexpr const char* kMissionControlAppURL =
    "file:///System/Applications/Mission%20Control.app";

// Launching the application toggles Mission Control.
void openMissionControl(platform::LaunchServices& launchServices);

}  // namespace velmora
