#pragma once
// The virtual Mac's state: one plain object every service of the machine works over, as the
// window server, the workspace, the accessibility grant, the Dock and the menu bar of a real
// Mac all see the same displays, spaces, windows and applications. It holds data and the
// small questions every service asks of it (which display holds this space, is this process
// running, is this window on screen); what the machine does with the data lives in the
// services (virtual_window_server.h, virtual_workspace.h, …).
//
// Everything here belongs to the main loop's thread, except the call counters and the
// accessibility trees, which worker threads reach too and which lock for themselves.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/geometry.h"
#include "core/main_loop.h"
#include "core/notification_center.h"
#include "core/signal.h"
#include "core/value.h"
#include "platform/home.h"
#include "platform/sim/ax_tree.h"
#include "platform/workspace.h"

namespace velmora::sim {

using platform::pid_t;

// Window-server space types.
inline constexpr std::int64_t kSpaceTypeDesktop = 0;
inline constexpr std::int64_t kSpaceTypeFullScreen = 4;

// Window layers (CGWindowLevel) the virtual Mac uses for its own furniture.
inline constexpr std::int32_t kLayerNormal = 0;
inline constexpr std::int32_t kLayerDock = 20;
inline constexpr std::int32_t kLayerMainMenu = 24;
inline constexpr std::int32_t kLayerStatus = 25;
inline constexpr std::int32_t kLayerDesktop = -2147483623;  // desktop picture, a desktop element
// The Dock's own screen-sized window on each display, under the desktop picture.
inline constexpr std::int32_t kLayerDockWallpaper = -2147483624;

// Processes every virtual Mac has: the window server (owner of the menu bars and desktop
// pictures), the Dock as the machine starts (each restart gives it a new pid), and the first
// copy of Velmora (a relaunched copy is a new process with a pid of its own).
inline constexpr pid_t kWindowServerPID = 300;
inline constexpr pid_t kDockPID = 400;
inline constexpr pid_t kSelfPID = 500;

// The workspace notifications the machine posts.
inline constexpr const char* kActiveSpaceDidChange = "NSWorkspaceActiveSpaceDidChangeNotification";
inline constexpr const char* kScreenParametersDidChange =
    "NSApplicationDidChangeScreenParametersNotification";
inline constexpr const char* kScreensDidSleep = "NSWorkspaceScreensDidSleepNotification";
inline constexpr const char* kScreensDidWake = "NSWorkspaceScreensDidWakeNotification";
inline constexpr const char* kSessionDidResignActive =
    "NSWorkspaceSessionDidResignActiveNotification";
inline constexpr const char* kSessionDidBecomeActive =
    "NSWorkspaceSessionDidBecomeActiveNotification";

struct SimSpace {
  std::uint64_t id = 0;
  std::int64_t managedID = 0;
  std::int64_t type = kSpaceTypeDesktop;
  std::string uuid;                      // the space's own "uuid" key, as the window server has one
  std::optional<std::string> name;       // what SLSSpaceCopyName answers; none answers null
  std::optional<pid_t> fullScreenOwner;  // the application a full-screen space belongs to
};

struct SimDisplay {
  std::string uuid;                 // "Display Identifier"; "Main" is legal, as on a Mac
  std::uint32_t displayNumber = 0;  // CGDirectDisplayID / "NSScreenNumber"
  ScreenRect frame;                 // drawing coordinates; the first display is the main one
  double menuBarHeight = 24;
  double dockHeight = 0;  // reserved at the bottom of the visible frame
  double backingScale = 2;
  std::string name;
  // The camera housing at the top centre (width, height in points); none without a notch.
  std::optional<Size> notch;
  std::vector<SimSpace> spaces;  // left to right, as in Mission Control
  std::uint64_t currentSpaceID = 0;
};

struct SimApp {
  pid_t pid = 0;
  std::optional<std::string> name;
  std::optional<std::string> bundleIdentifier;
  std::optional<std::string> bundlePath;
  platform::ActivationPolicy policy = platform::ActivationPolicy::Regular;
  bool terminated = false;
  // The menus after the application menu, as the menu bar shows them while the application
  // is in front; empty gives the usual File, Edit, View, Window, Help.
  std::vector<std::string> menus;
  // Its icon's colour (0xRRGGBB) and the symbol on it; none picks a colour from the bundle
  // identifier and puts the name's first letter on it.
  std::optional<std::uint32_t> iconColor;
  std::optional<std::string> iconSymbol;
};

struct SimWindow {
  std::int64_t number = 0;
  pid_t owner = 0;
  std::int32_t layer = kLayerNormal;
  AXRect bounds;                      // Quartz window-list coordinates
  std::vector<std::uint64_t> spaces;  // empty: on every space (menu bar, Dock, stickies)
  std::string title;
};

// Velmora's own bundle as the virtual Mac has installed it.
struct SimBundle {
  Value::Dictionary info{{"CFBundleShortVersionString", Value("1.0.0")},
                         {"CFBundleVersion", Value("1")},
                         {"CFBundleIdentifier", Value("app.velmora.Velmora")}};
  std::optional<std::string> identifier = "app.velmora.Velmora";
  std::string path = "/Applications/Velmora.app";
};

class Machine {
 public:
  Machine(MainLoop& loop, platform::HomeFolder home);
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  MainLoop& loop() const { return loop_; }
  const platform::HomeFolder& home() const { return home_; }
  // The accessibility element trees of every application, and Velmora's grant.
  AXTree& ax() const { return *ax_; }

  // ---- The state ----
  std::vector<SimDisplay> displays;  // the first one is the main display
  std::vector<SimApp> apps;          // in launch order; quit ones stay, terminated
  std::vector<SimWindow> windows;    // front to back
  std::string activeMenuBarDisplay;
  std::optional<pid_t> frontmost;
  ScreenPoint pointer;                        // where the mouse pointer is, in drawing coordinates
  std::map<std::uint32_t, double> lastInput;  // Quartz event type -> loop time
  SimBundle bundle;
  int systemMajorVersion = 26;
  // SLSCopyManagedDisplaySpaces as last built; reset by layoutChanged().
  std::optional<Value> layoutAnswer;

  // ---- Questions every service asks ----
  SimDisplay* findDisplay(std::string_view uuid);
  const SimDisplay* findDisplay(std::string_view uuid) const;
  // The space with this id, and the display holding it through `display` when asked.
  SimSpace* findSpace(std::uint64_t id, SimDisplay** display = nullptr);
  const SimSpace* findSpace(std::uint64_t id, const SimDisplay** display = nullptr) const;
  SimWindow* findWindow(std::int64_t number);
  const SimWindow* findWindow(std::int64_t number) const;
  SimApp* findApp(pid_t pid);
  const SimApp* findApp(pid_t pid) const;
  bool isRunning(pid_t pid) const;
  // On every space, or on a display's current one.
  bool isOnScreen(const SimWindow& window) const;
  double mainDisplayHeight() const;
  // The display's frame in window-list coordinates.
  AXRect axFrame(const SimDisplay& display) const;

  // ---- Small changes every service makes ----
  // Every change to displays or spaces goes through here, so the layout answer is rebuilt.
  void layoutChanged();
  // The front application, the active menu bar or the displays changed: whatever lays out
  // the menu bar hears it.
  void menuBarMayMove() { menuBarMayMove_.emit(); }
  [[nodiscard]] Connection observeMenuBarMayMove(std::function<void()> fn) {
    return menuBarMayMove_.connect(std::move(fn));
  }
  // Posts a workspace notification on the next loop turn, as macOS delivers notifications
  // after the change, never inside the call that caused it.
  void postLater(const char* notification);
  [[nodiscard]] ObserverToken observeWorkspace(const char* notification, std::function<void()> fn) {
    return workspaceCenter_.observe(notification, std::move(fn));
  }
  // Hears each workspace notification as it is delivered; null removes it.
  void setOnWorkspaceNotification(std::function<void(std::string_view name)> listener) {
    workspaceCenter_.setOnPost(std::move(listener));
  }
  // Puts a window in the window list: in front of the windows of its layer, or behind them.
  void insertWindow(SimWindow window, bool behindPeers = false);
  // An input event of a Quartz event type happened now.
  void noteInput(std::uint32_t eventType) { lastInput[eventType] = loop_.now(); }

  // ---- This process ----
  // The copy of Velmora the seams speak for: kSelfPID until another copy takes over.
  pid_t self() const { return self_; }
  void becomeCopy(pid_t pid) { self_ = pid; }

  // ---- Identifiers ----
  // A new space of this type: the next id (from 1, across the machine), the managed id
  // equal to it unless given, and a uuid of its own.
  SimSpace makeSpace(std::int64_t type, std::optional<std::int64_t> managedID = std::nullopt);
  // A pid no process has had on this machine, from 600.
  pid_t takeFreePID();
  // The next window number, from 100.
  std::int64_t takeWindowNumber() { return nextWindow_++; }
  // The display number asked for, or the next free one (1, 2, 3…).
  std::uint32_t takeDisplayNumber(std::optional<std::uint32_t> wanted);

  // ---- Call counters: how often each seam call was made, by the platform function's name ----
  void countCall(std::string_view function);
  int callCount(const std::string& function) const;

 private:
  MainLoop& loop_;
  platform::HomeFolder home_;
  std::shared_ptr<AXTree> ax_;
  NotificationCenter workspaceCenter_;
  Signal menuBarMayMove_;
  mutable std::mutex callsMutex_;  // accessibility calls are counted from worker threads too
  std::map<std::string, int, std::less<>> calls_;
  std::uint64_t nextSpaceID_ = 1;
  pid_t nextPID_ = 600;
  std::int64_t nextWindow_ = 100;
  std::uint32_t nextDisplayNumber_ = 1;
  pid_t self_ = kSelfPID;
  Lifetime lifetime_;
};

}  // namespace velmora::sim
