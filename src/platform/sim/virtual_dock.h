#pragma once
// The virtual Mac's Dock as a process: the system's desktop shortcuts it has loaded and acts
// on, the slide from one space to another, Mission Control, and its restarts. (Its icons and
// badges, and what moves to the new process on a restart, are the DockTree's.)
//
// Like the real Dock it reads "AppleSymbolicHotKeys" of "com.apple.symbolichotkeys" only
// when it starts — the virtual Mac starts it when the machine is made, so a home that
// already holds shortcuts boots a Dock that knows them — and again when activateSettings
// runs with "-u" or when it restarts. Writing the preferences alone changes nothing.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>

#include "core/main_loop.h"
#include "core/value.h"
#include "platform/keyboard_events.h"
#include "platform/preferences.h"
#include "platform/sim/dock_tree.h"
#include "platform/sim/machine.h"
#include "platform/sim/virtual_keyboard.h"
#include "platform/sim/virtual_mission_control.h"
#include "platform/sim/virtual_window_server.h"

namespace velmora::sim {

class VirtualDock {
 public:
  // The helper System Settings runs to make the Dock reload its preferences.
  static constexpr const char* kActivateSettings =
      "/System/Library/PrivateFrameworks/SystemAdministration.framework/Resources/"
      "activateSettings";
  static constexpr double kDefaultSwitchAnimation = 0.25;

  // Symbolic hot-key ids of the shortcuts the Dock handles.
  static constexpr int kMoveLeftID = 79;
  static constexpr int kMoveRightID = 81;
  static constexpr int kMissionControlID = 32;
  static constexpr int kFirstDesktopID = 118;  // Switch to Desktop 1; 127 is Desktop 10

  // One enabled shortcut as the Dock holds it: only the Control, Option, Shift and Command
  // bits of `flags` are kept. A key code no keyboard can send is kept too; it never matches.
  struct Shortcut {
    std::uint32_t keyCode = 0;
    std::uint64_t flags = 0;
    bool operator==(const Shortcut&) const = default;
  };

  // Reads the shortcuts from `preferences` and takes the keyboard's system shortcuts; a
  // slide lands through `windowServer`, and a restart moves `tree` to the new process.
  // `missionControl` is the Dock's own (or, from macOS 27, the window manager's, which the
  // Dock still opens and closes).
  VirtualDock(Machine& machine, platform::Preferences& preferences, VirtualKeyboard& keyboard,
              VirtualWindowServer& windowServer, DockTree& tree,
              VirtualMissionControl& missionControl);
  ~VirtualDock();
  VirtualDock(const VirtualDock&) = delete;
  VirtualDock& operator=(const VirtualDock&) = delete;

  // ---- The process ----
  std::int32_t pid() const { return pid_; }
  int restarts() const { return restarts_; }
  // "killall Dock": the Dock comes back under a new pid with Mission Control closed and the
  // shortcuts read afresh. A slide in progress or queued is lost with the old process.
  void restart();
  // "activateSettings -u": the running Dock reads the shortcuts again.
  void reloadShortcuts();

  // ---- Shortcuts ----
  // How often the shortcuts were read from the preferences.
  int shortcutReads() const { return shortcutReads_; }
  // The enabled shortcuts it knows now, by symbolic hot-key id.
  const std::map<int, Shortcut>& shortcuts() const { return shortcuts_; }
  // A key-down from the keyboard: true when an enabled shortcut matches it, which consumes
  // the key even when there is nowhere to go. Escape closes Mission Control while it is up.
  bool keyDown(const platform::KeyboardEvent& event);

  // ---- Switching ----
  // How long the slide to another space takes; a switch lands when it ends.
  void setSwitchAnimation(double seconds) { animation_ = seconds < 0 ? 0 : seconds; }
  double switchAnimation() const { return animation_; }
  // Whether a slide is under way or waiting.
  bool switching() const { return sliding_ || !queue_.empty(); }
  // A swipe or ⌃←/⌃→: the active display slides to the space before or after its current one.
  void slide(bool toTheRight) { enqueue({toTheRight ? Step::Kind::right : Step::Kind::left}); }

  // ---- Mission Control ----
  void openMissionControl() { missionControl_.open(); }
  void closeMissionControl() { missionControl_.close(); }
  bool missionControlOpen() const { return missionControl_.isOpen(); }
  // A click on a space's thumbnail: Mission Control closes and the display slides to that
  // space. False when Mission Control is closed or there is no such space.
  bool pressThumbnail(std::uint64_t spaceID) { return missionControl_.pressSpace(spaceID); }

 private:
  struct Step {
    enum class Kind { desktop, left, right, space } kind;
    std::uint64_t value = 0;  // the desktop number, or the space id
  };

  void readShortcuts();
  void enqueue(Step step);
  void startNext();
  // Where a step goes from the current layout; none when it goes nowhere.
  std::optional<std::uint64_t> target(const Step& step) const;

  Machine& machine_;
  platform::Preferences& preferences_;
  VirtualKeyboard& keyboard_;
  VirtualWindowServer& windowServer_;
  DockTree& tree_;
  VirtualMissionControl& missionControl_;
  std::int32_t pid_ = kDockPID;
  int restarts_ = 0;
  int shortcutReads_ = 0;
  std::map<int, Shortcut> shortcuts_;
  double animation_ = kDefaultSwitchAnimation;
  std::deque<Step> queue_;
  bool sliding_ = false;
  std::uint64_t generation_ = 0;  // bumped by a restart, so the old process's slide is void
  Lifetime lifetime_;
};

}  // namespace velmora::sim
