#pragma once
// Running applications and the workspace's notifications (NSWorkspace, NSRunningApplication).
// The notifications are heard on the main thread.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/notification_center.h"
#include "platform/workspace.h"

namespace velmora::macos {

class MacWorkspace final : public platform::Workspace {
 public:
  // Starts listening for the two notifications; stops when destroyed.
  MacWorkspace();
  ~MacWorkspace() override;

  std::optional<platform::RunningApplication> runningApplication(platform::pid_t pid) override;
  std::vector<platform::RunningApplication> runningApplications() override;
  std::optional<platform::RunningApplication> frontmostApplication() override;
  bool activate(platform::pid_t pid, unsigned options) override;
  bool terminate(platform::pid_t pid) override;
  bool forceTerminate(platform::pid_t pid) override;
  platform::pid_t currentProcessID() override;
  void activateFileViewerSelecting(const std::vector<std::string>& paths) override;
  ObserverToken observeActiveSpaceChanged(std::function<void()> fn) override;
  ObserverToken observeScreenParametersChanged(std::function<void()> fn) override;
  ObserverToken observeSession(platform::SessionEvent event, std::function<void()> fn) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora::macos
