#include "mission_control/mission_control_host.h"

namespace velmora {

MissionControlHost MissionControlHost::forVersion(int systemMajorVersion) {
  MissionControlHost host;
  host.systemMajorVersion = systemMajorVersion;
  host.usesWindowManager = systemMajorVersion >= 27;
  if (host.usesWindowManager) {
    host.bundleIdentifier = "com.apple.WindowManager";
    host.windowOwner = "WindowManager";
    host.windowLayer = 19;
    host.passInterval = 1.0 / 30;
    host.labelPadding = 24;
    host.pillExtraWidth = 2;
    host.collapsedPillMinHeight = 23;
  } else {
    host.bundleIdentifier = "com.apple.dock";
    host.windowOwner = "Dock";
    host.windowLayer = 18;
    host.passInterval = 0.1;
    host.labelPadding = 10;
    host.pillExtraWidth = 10;
    host.collapsedPillMinHeight = 0;
  }
  return host;
}

void openMissionControl(platform::LaunchServices& launchServices) {
  launchServices.openURL(kMissionControlAppURL);
}

}  // namespace velmora
