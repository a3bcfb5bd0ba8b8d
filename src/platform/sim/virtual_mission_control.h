#pragma once
// The virtual Mac's Mission Control: whether it is up, the desktop bar of every display and
// how it moves, the windows the host process puts on screen while it is up, and the
// accessibility tree it shows there. The Dock hosts it; from macOS 27 on a separate
// WindowManager process does, which reports its buttons differently (see ItemGeometry).
//
// The bar opens collapsed — a row of name labels, reported above the bar's top edge — and
// expands into thumbnails once the pointer goes to the top of that display. Opening and
// expanding both animate; while anything moves a 60 Hz timer brings the tree's frames up
// to date, so readers see the geometry change the way they do on a Mac.
//
// Everything here runs on the machine's loop.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/main_loop.h"
#include "core/signal.h"
#include "platform/sim/ax_tree.h"
#include "platform/sim/machine.h"

namespace velmora::sim {

// Quartz's event type of trackpad gestures (swipes, pinches).
inline constexpr std::uint32_t kEventGesture = 29;

class VirtualMissionControl {
 public:
  static constexpr double kDefaultAnimation = 0.3;
  static constexpr std::int32_t kDockLayer = 18;
  static constexpr std::int32_t kWindowManagerLayer = 19;
  static constexpr double kCollapsedHeight = 40;
  static constexpr double kExpandedHeight = 150;
  static constexpr double kLabelHeight = 23;
  static constexpr double kFrameInterval = 1.0 / 60;

  // One tile of a display's bar at this moment.
  struct Item {
    std::uint64_t spaceID = 0;
    bool desktop = true;  // an ordinary desktop; otherwise a full-screen application's tile
    std::string title;    // "Desktop 2" (counted per display), or the application's name
    AXRect drawn;         // where it is on screen (clicks, pictures)
    AXRect reported;      // what "AXPosition"/"AXSize" answer, before macOS 27's own form
  };
  struct Bar {
    std::string displayUUID;
    std::uint32_t displayNumber = 0;
    AXRect frame;          // the list's frame
    double expansion = 0;  // 0 collapsed, 1 expanded
    std::vector<Item> items;
    AXRect addControl;
  };

  // `measure` gives a label text's width in the system font of 12 points.
  VirtualMissionControl(Machine& machine, std::function<double(const std::string&)> measure);
  ~VirtualMissionControl();
  VirtualMissionControl(const VirtualMissionControl&) = delete;
  VirtualMissionControl& operator=(const VirtualMissionControl&) = delete;

  // ---- The host process ----
  // The Dock's pid as it starts and after each restart.
  void setDockPID(pid_t pid) { dockPID_ = pid; }
  // The WindowManager process, once the machine runs one.
  void setWindowManagerPID(std::optional<pid_t> pid) { windowManagerPID_ = pid; }
  std::optional<pid_t> windowManagerPID() const { return windowManagerPID_; }
  bool hostedByWindowManager() const;
  pid_t hostPID() const;
  std::int32_t layer() const { return hostedByWindowManager() ? kWindowManagerLayer : kDockLayer; }
  // Where a click on a tile sends the display: the Dock's slide to that space.
  void setOnSwitch(std::function<void(std::uint64_t spaceID)> fn) { onSwitch_ = std::move(fn); }

  // How long opening and expanding take.
  void setAnimation(double seconds) { animation_ = seconds < 0 ? 0 : seconds; }
  double animation() const { return animation_; }

  // ---- Opening and closing ----
  bool isOpen() const { return open_; }
  void open();
  void close();
  void toggle() { open_ ? close() : open(); }
  // The host process ended: Mission Control is gone with it, and so is its tree; nothing is
  // posted, as a process that died says nothing.
  void hostEnded();

  // ---- What the user does while it is up ----
  // Switches the space's display to it and closes; false when closed or no such space.
  bool pressSpace(std::uint64_t spaceID);
  // The pointer moved (drawing coordinates): the top of a display expands its bar; over a
  // thumbnail it selects it.
  void pointerMoved(ScreenPoint point);
  // A click (drawing coordinates). A tile switches to its space and closes, the bar's empty
  // space and the add control do nothing, anywhere else closes. False when closed.
  bool click(ScreenPoint point);

  // ---- Looking ----
  // Every display's bar at this moment; empty while closed.
  std::vector<Bar> bars() const;
  bool expanded(const std::string& displayUUID) const;
  // Whether the bar is still opening or a display still expanding.
  bool moving() const;
  // The screen-sized windows the host shows while up.
  const std::vector<std::int64_t>& windows() const { return windows_; }
  // The tree's root ("mc") while up.
  SimAXNodePtr root() const { return root_; }
  // How often the open bar's frames were brought up to date in the tree.
  int treeUpdates() const { return treeUpdates_; }

 private:
  struct DisplayNodes {
    std::string uuid;
    std::vector<std::uint64_t> spaces;  // what the nodes were built for
    SimAXNodePtr display, spaces_, list, add;
    std::vector<SimAXNodePtr> items;
  };
  struct DisplayState {
    std::optional<double> expandStart;
    std::optional<std::uint64_t> hovered;
  };

  Bar barOf(const SimDisplay& display, double now) const;
  double progress(std::optional<double> start, double now) const;
  DisplayState& state(const std::string& uuid);
  // Builds (or rebuilds after the layout changed) windows and tree, then the frames.
  void build();
  void tearDown(bool post);
  void updateTree();
  void startTicking();
  void tick();
  void layoutMayHaveChanged();
  // What lies under a point: a tile's space, and whether it is inside a bar.
  struct Hit {
    std::optional<std::uint64_t> space;
    bool inBar = false;
  };
  Hit hitTest(AXPoint point) const;
  void placeWindows();
  void removeWindows();
  Value axPosition(const Item& item) const;
  Value axSize(const Item& item) const;

  Machine& machine_;
  std::function<double(const std::string&)> measure_;
  std::function<void(std::uint64_t)> onSwitch_;
  pid_t dockPID_ = kDockPID;
  std::optional<pid_t> windowManagerPID_;
  double animation_ = kDefaultAnimation;
  bool open_ = false;
  double openedAt_ = 0;
  std::vector<std::pair<std::string, DisplayState>> states_;
  std::vector<std::int64_t> windows_;
  pid_t treePID_ = 0;
  SimAXNodePtr root_;
  std::vector<DisplayNodes> nodes_;
  std::unique_ptr<RepeatingTimer> ticker_;
  bool refreshQueued_ = false;
  int treeUpdates_ = 0;
  Connection layoutWatch_;
  Lifetime lifetime_;
};

}  // namespace velmora::sim
