#pragma once
// The virtual Mac's window server: displays and their spaces, the window list, and the
// SkyLight and Quartz calls that read and change them. It answers in the loosely typed
// shapes the real calls do, and changes spaces the way macOS does when the user acts in
// Mission Control or plugs in a display. It also keeps the system's own windows (menu bars,
// desktop pictures, the Dock's window) so window lists hold what the filters must reject.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/value.h"
#include "platform/sim/machine.h"
#include "platform/window_server.h"

namespace velmora::sim {

class VirtualWindowServer final : public platform::WindowServer {
 public:
  explicit VirtualWindowServer(Machine& machine) : machine_(machine) {}

  // ---- Building a world (nothing is posted) ----
  // A display with one ordinary desktop, which is current. The first display added is the
  // main one and carries the active menu bar.
  SimDisplay& addDisplay(const std::string& uuid, ScreenRect frame, double backingScale,
                         std::optional<std::uint32_t> displayNumber);
  // Appends a space to a display; 0 for an unknown display.
  std::uint64_t addSpace(const std::string& displayUUID, std::int64_t type,
                         std::optional<std::int64_t> managedID);
  // Opens a window on the given spaces (none: on every space), frontmost among its peers or,
  // with `behindPeers`, behind them; answers its number.
  std::int64_t addWindow(pid_t owner, std::vector<std::uint64_t> spaces, AXRect bounds,
                         std::int32_t layer, std::string title, bool behindPeers = false);
  // Adds the system's windows, the Dock's owned by `dockPID`; they follow the displays from
  // then on. Only the first call adds anything.
  void addFurniture(pid_t dockPID);

  // ---- What the user does ----
  // Shows the space on its display at once and makes that display the one with the active
  // menu bar; the active-space notification follows on the next turn.
  void switchTo(std::uint64_t spaceID);
  // Removes a space: its windows move to the display's first desktop that stays; when it
  // was current, the one before it is shown. A display always keeps one desktop.
  void removeSpace(std::uint64_t spaceID);
  // The window goes full screen on a new space right after its own, which is shown.
  std::uint64_t enterFullScreen(std::int64_t windowNumber);
  SimDisplay& attachDisplay(const std::string& uuid, ScreenRect frame, double backingScale);
  // The display's spaces move to the end of the main display and its windows with them.
  void detachDisplay(const std::string& uuid);
  void setActiveMenuBarDisplay(const std::string& uuid);
  // On the current space of the display with the active menu bar; 0 when nothing opened.
  std::int64_t openWindow(pid_t owner, AXRect bounds);
  void closeWindow(std::int64_t windowNumber);

  // ---- Misbehaviour ----
  // While set, SLSCopyManagedDisplaySpaces answers this value instead of the real layout.
  void overrideManagedDisplaySpaces(std::optional<Value> answer) {
    spacesOverride_ = std::move(answer);
  }
  // While set, CGWindowListCopyWindowInfo answers this value.
  void overrideWindowList(std::optional<Value> answer) { windowListOverride_ = std::move(answer); }
  // SLSManagedDisplaySetCurrentSpace answers this code and does nothing; 0 makes it work.
  void failSetCurrentSpace(std::int32_t status);
  // SLSManagedDisplaySetCurrentSpace answers success but leaves the display where it is, for
  // the next `count` calls that would switch, or for all of them when none; 0 stops it.
  void ignoreSwitchCalls(std::optional<int> count);
  // A direct switch changes the display at once, but, as on a Mac, the workspace
  // notification may not follow; it does here unless turned off.
  void setDirectSwitchPostsNotification(bool posts) { directSwitchPosts_ = posts; }

  // ---- platform::WindowServer ----
  platform::ConnectionID mainConnectionID() override;
  Value copyManagedDisplaySpaces(platform::ConnectionID cid) override;
  std::int32_t managedDisplaySetCurrentSpace(platform::ConnectionID cid,
                                             const std::string& displayUUID,
                                             std::uint64_t spaceID) override;
  Value copyActiveMenuBarDisplayIdentifier(platform::ConnectionID cid) override;
  Value spaceCopyName(platform::ConnectionID cid, std::uint64_t spaceID) override;
  Value copyWindowsWithOptionsAndTags(platform::ConnectionID cid, std::int32_t owner,
                                      const Value& spaces, std::uint32_t options,
                                      std::uint64_t& setTags, std::uint64_t& clearTags) override;
  void moveWindowsToManagedSpace(platform::ConnectionID cid, const Value& windows,
                                 std::uint64_t spaceID) override;
  Value windowListCopyWindowInfo(std::uint32_t options, std::uint32_t relativeToWindow) override;

 private:
  // Menu bars, desktop pictures and the Dock's wallpaper windows follow the displays, the
  // Dock's window the main display.
  void furnish(pid_t dockPID);
  // Takes the system's windows away; answers who owned the Dock's.
  std::optional<pid_t> unfurnish();
  // Whether an otherwise good switch call is to be dropped (and counts it).
  bool ignoresThisSwitch();

  Machine& machine_;
  bool furnished_ = false;
  std::vector<std::int64_t> furnitureWindows_;
  std::optional<Value> spacesOverride_;
  std::optional<Value> windowListOverride_;
  std::optional<std::int32_t> setCurrentSpaceFailure_;
  bool ignoreAllSwitches_ = false;
  int switchesToIgnore_ = 0;
  bool directSwitchPosts_ = true;
};

}  // namespace velmora::sim
