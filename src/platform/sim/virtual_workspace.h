#pragma once
// The virtual Mac's workspace, screens and input clocks: the running applications and which
// one is in front (NSWorkspace, NSRunningApplication), the screens as AppKit describes the
// displays (NSScreen), and the seconds since the last input event (CGEventSource). The
// workspace notifications come from the machine, posted on the loop turn after a change.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "core/main_loop.h"
#include "platform/input_clocks.h"
#include "platform/screens.h"
#include "platform/sim/dock_tree.h"
#include "platform/sim/machine.h"
#include "platform/workspace.h"

namespace velmora::sim {

class VirtualWorkspace final : public platform::Workspace,
                               public platform::Screens,
                               public platform::InputClocks {
 public:
  // A quitting application's icon leaves `dock`.
  VirtualWorkspace(Machine& machine, DockTree& dock) : machine_(machine), dock_(dock) {}

  // ---- Applications ----
  // Starts an application (pid 0 takes the next free pid) with its accessibility tree and, for
  // a regular one, an icon in the Dock; answers its pid.
  pid_t launch(SimApp app);
  // The application and its frontmost window come to the front (all its windows when asked).
  void bringToFront(pid_t pid, bool allWindows);
  // Terminated, its windows and Dock icon gone; the owner of the front visible window of a
  // regular application takes over the front.
  void quit(pid_t pid);
  // The application turns down polite requests to quit; forcing still ends it.
  void refuseTermination(pid_t pid, bool refuses);
  // The process handles requests to quit itself, as an application's own event loop does:
  // each polite request reaches `onQuitRequest` on the next loop turn instead of ending the
  // process, and it ends the process (quit) when it is done. Null gives the request back to
  // the machine, which ends the process at once.
  void setOnQuitRequest(pid_t pid, std::function<void()> onQuitRequest);
  bool handlesQuitRequests(pid_t pid) const { return onQuitRequest_.contains(pid); }
  // A polite request to quit: on the next loop turn the process hears it, or ends. False when
  // it is not running or turns requests down.
  bool requestQuit(pid_t pid);

  // ---- platform::Workspace ----
  std::optional<platform::RunningApplication> runningApplication(pid_t pid) override;
  std::vector<platform::RunningApplication> runningApplications() override;
  std::optional<platform::RunningApplication> frontmostApplication() override;
  bool activate(pid_t pid, unsigned options) override;
  // An accepted request ends the application on the next loop turn, as its quit event is
  // handled; forcing ends it at once.
  bool terminate(pid_t pid) override;
  bool forceTerminate(pid_t pid) override;
  pid_t currentProcessID() override { return machine_.self(); }
  // Recorded, newest last: the files the Finder was asked to show.
  void activateFileViewerSelecting(const std::vector<std::string>& paths) override {
    revealed_.push_back(paths);
  }
  const std::vector<std::vector<std::string>>& revealed() const { return revealed_; }
  ObserverToken observeActiveSpaceChanged(std::function<void()> fn) override;
  ObserverToken observeScreenParametersChanged(std::function<void()> fn) override;
  ObserverToken observeSession(platform::SessionEvent event, std::function<void()> fn) override;

  // ---- platform::Screens ----
  std::vector<platform::ScreenInfo> screens() override;
  // The display's identifier as the window server knows it, so a display whose identifier
  // is "Main" answers "Main" here too.
  Value displayUUIDString(std::uint32_t displayID) override;

  // ---- platform::InputClocks ----
  double secondsSinceLastEventType(std::int32_t stateID, std::uint32_t eventType) override;

 private:
  Machine& machine_;
  DockTree& dock_;
  std::set<pid_t> refusesTermination_;
  std::map<pid_t, std::function<void()>> onQuitRequest_;
  std::vector<std::vector<std::string>> revealed_;
  Lifetime lifetime_;
};

}  // namespace velmora::sim
