#include "app/self_test.h"

#include <algorithm>
#include <cmath>

#include "mission_control/mission_control_host.h"

namespace velmora {

namespace {

std::string count(std::size_t n, const std::string& one, const std::string& many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

SelfTestCheck windowServer(VelmoraApp& app) {
  const auto& displays = app.engine().displays();
  const auto& desktops = app.engine().desktops();
  if (displays.empty()) return {"window server", false, "no displays in its answer"};
  if (desktops.empty()) return {"window server", false, "no ordinary desktop in its answer"};
  return {"window server", true,
          count(displays.size(), "display", "displays") + ", " +
              count(desktops.size(), "desktop", "desktops")};
}

SelfTestCheck accessibility(const platform::Platform& platform) {
  if (platform.accessibility.isProcessTrusted()) return {"accessibility", true, "granted"};
  return {"accessibility", false,
          "not granted; the names over Mission Control and its clicks need it"};
}

SelfTestCheck systemShortcuts(VelmoraApp& app) {
  int wanted = std::min<int>(static_cast<int>(app.engine().desktops().size()), 10);
  int enabled = app.shortcuts().enabledCount();
  std::string detail = "⌃1–⌃" + std::to_string(enabled) + " on";
  if (enabled == 0) detail = "none on";
  if (enabled >= wanted) return {"system shortcuts", true, detail};
  return {
      "system shortcuts", false,
      detail + ", " + std::to_string(wanted) + " needed; switching falls back to slower routes"};
}

SelfTestCheck missionControl(const platform::Platform& platform) {
  MissionControlHost host = MissionControlHost::forVersion(platform.systemMajorVersion);
  auto apps = platform.workspace.runningApplications();
  auto it = std::find_if(apps.begin(), apps.end(), [&](const platform::RunningApplication& a) {
    return !a.terminated && a.bundleIdentifier == host.bundleIdentifier;
  });
  if (it == apps.end()) return {"mission control", false, host.windowOwner + " is not running"};
  std::string who = host.windowOwner + " (pid " + std::to_string(it->pid) + ")";
  if (!platform.accessibility.isProcessTrusted()) {
    return {"mission control", false, who + " runs, but cannot be read without Accessibility"};
  }
  platform::AXElementRef element = platform.accessibility.applicationElement(it->pid);
  platform::AXAttribute role = platform.accessibility.copyAttributeValue(element, "AXRole");
  if (!role.ok()) {
    return {"mission control", false,
            who + " does not answer (error " + std::to_string(static_cast<int>(role.error)) + ")"};
  }
  return {"mission control", true, who + " answers"};
}

SelfTestCheck menuBarRoom(VelmoraApp& app) {
  MenuBarTile* tile = app.delegate().statusBar();
  if (!tile) return {"menu bar room", false, "no tile was made"};
  return {"menu bar room", tile->isShowing(), tile->presenceReport()};
}

SelfTestCheck notch(const platform::Platform& platform) {
  std::string detail;
  for (const platform::ScreenInfo& screen : platform.screens.screens()) {
    if (screen.safeAreaTopInset <= 0) continue;
    double width = screen.frame.size.width;
    if (screen.auxiliaryTopLeftArea && screen.auxiliaryTopRightArea) {
      width = screen.auxiliaryTopRightArea->minX() - screen.auxiliaryTopLeftArea->maxX();
    }
    if (!detail.empty()) detail += ", ";
    std::string name = screen.localizedName.empty() ? "a display" : screen.localizedName;
    detail += name + " (" + std::to_string(static_cast<int>(std::lround(width))) + " points wide)";
  }
  // A Mac without a notch is as healthy as one with.
  return {"notch", true, detail.empty() ? "no display has one" : detail};
}

}  // namespace

std::vector<SelfTestCheck> runSelfTest(VelmoraApp& app, const platform::Platform& platform) {
  return {windowServer(app),        accessibility(platform), systemShortcuts(app),
          missionControl(platform), menuBarRoom(app),        notch(platform)};
}

std::string selfTestReport(const std::vector<SelfTestCheck>& checks) {
  std::string text;
  for (const SelfTestCheck& check : checks) {
    text += (check.passed ? "PASS " : "FAIL ") + check.name + ": " + check.detail + "\n";
  }
  return text;
}

}  // namespace velmora
