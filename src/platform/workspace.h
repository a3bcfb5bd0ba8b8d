#pragma once
// Running applications and the workspace notifications (NSWorkspace, NSRunningApplication).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/notification_center.h"

namespace velmora::platform {

using pid_t = std::int32_t;

enum class ActivationPolicy { Regular, Accessory, Prohibited };

// A handle the drawing layer resolves to the application's icon image.
struct AppIcon {
  std::string identifier;
  bool operator==(const AppIcon&) const = default;
};

struct RunningApplication {
  pid_t pid = 0;
  std::optional<std::string> localizedName;
  std::optional<std::string> bundleIdentifier;
  std::optional<std::string> bundlePath;
  ActivationPolicy activationPolicy = ActivationPolicy::Regular;
  std::optional<AppIcon> icon;
  bool terminated = false;
};

// Workspace notifications about the machine as a whole: the screens went to sleep or woke,
// the user switched to another login session or came back to this one.
enum class SessionEvent {
  screensDidSleep,
  screensDidWake,
  sessionDidResignActive,
  sessionDidBecomeActive
};

class Workspace {
 public:
  virtual ~Workspace() = default;
  // NSRunningApplication(processIdentifier:).
  virtual std::optional<RunningApplication> runningApplication(pid_t pid) = 0;
  // NSWorkspace.runningApplications, in launch order.
  virtual std::vector<RunningApplication> runningApplications() = 0;
  // NSWorkspace.frontmostApplication.
  virtual std::optional<RunningApplication> frontmostApplication() = 0;
  // NSRunningApplication.activate(options:): whether the system accepted the request.
  virtual bool activate(pid_t pid, unsigned options) = 0;
  // NSRunningApplication.terminate(): false when the application turned the request down
  // (or is gone); when accepted it quits in its own time.
  virtual bool terminate(pid_t pid) = 0;
  // NSRunningApplication.forceTerminate(): false when the process could not be ended.
  virtual bool forceTerminate(pid_t pid) = 0;
  // This process's identifier.
  virtual pid_t currentProcessID() = 0;
  // NSWorkspace activateFileViewerSelectingURLs: the Finder comes forward with these files
  // selected.
  virtual void activateFileViewerSelecting(const std::vector<std::string>& paths) = 0;
  // NSWorkspaceActiveSpaceDidChangeNotification on the workspace's notification centre.
  [[nodiscard]] virtual ObserverToken observeActiveSpaceChanged(std::function<void()> fn) = 0;
  // NSApplicationDidChangeScreenParametersNotification.
  [[nodiscard]] virtual ObserverToken observeScreenParametersChanged(std::function<void()> fn) = 0;
  // NSWorkspaceScreensDidSleepNotification, …DidWake, NSWorkspaceSessionDidResignActive-
  // and …DidBecomeActiveNotification on the workspace's notification centre.
  [[nodiscard]] virtual ObserverToken observeSession(SessionEvent event,
                                                     std::function<void()> fn) = 0;
};

}  // namespace velmora::platform
