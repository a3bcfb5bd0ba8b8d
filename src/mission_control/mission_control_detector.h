#pragma once
// Whether Mission Control is open, and whether a trackpad swipe between desktops is under
// way. Both run all day, so both are built to cost next to nothing while nothing happens:
// the detector reads the window list only while the user touches the Mac (or Mission
// Control is open), and the gesture watch ticks at 4 Hz once input has been quiet for 2 s.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/main_loop.h"
#include "core/notification_center.h"
#include "core/value.h"
#include "mission_control/dock_access.h"
#include "mission_control/mission_control_host.h"
#include "platform/platform.h"

namespace velmora {

class MissionControlDetector {
 public:
  struct DockNotification {
    std::string name;
    double at = 0;  // seconds since openedAt
    bool operator==(const DockNotification&) const = default;
  };
  static constexpr std::size_t kMaxDockNotifications = 24;
  static constexpr double kPollInterval = 0.2;
  // A closed Mission Control is looked for only this soon after the user's last input.
  static constexpr double kIdleThreshold = 3.0;
  // A window this close to a screen's size (each side) counts as screen-sized.
  static constexpr double kScreenSizeSlack = 2.0;

  // Registers its Dock-notification handler with `dock` (dock.setHandler) and observes the
  // workspace's sleep/session notifications (pause/resume).
  MissionControlDetector(platform::Platform platform, MissionControlHost host, DockAccess& dock);
  MissionControlDetector(const MissionControlDetector&) = delete;
  MissionControlDetector& operator=(const MissionControlDetector&) = delete;

  bool isOpen() const { return open_; }
  void setOnChange(std::function<void(bool open)> fn) { onChange_ = std::move(fn); }
  // Told when Dock activity was seen while Mission Control stayed open.
  void setOnDockActivity(std::function<void()> fn) { onDockActivity_ = std::move(fn); }
  const std::vector<DockNotification>& dockNotifications() const { return dockNotifications_; }
  double openedAt() const { return openedAt_; }  // loop time; -infinity before the first opening
  const std::string& lastTrigger() const { return lastTrigger_; }  // "poll" initially
  bool isPaused() const { return paused_; }
  bool isPolling() const { return poll_ != nullptr; }

  void start();
  void stop();
  void pause() { paused_ = true; }
  void resume() { paused_ = false; }
  // Looks now; "poll" or "observer" says why (kept in lastTrigger when the answer changes).
  bool check(const std::string& trigger);

  // The window-list test, callable without a detector.
  static bool isMissionControlOnScreen(platform::WindowServer& windowServer,
                                       platform::Screens& screens, const MissionControlHost& host);
  // The same test over a given answer (tests and the fuzzer).
  static bool isOpenIn(const Value& windowList, const std::vector<Size>& screenSizes,
                       const MissionControlHost& host);

 private:
  void tick();
  void dockNotified(const std::string& name);

  platform::Platform platform_;
  MissionControlHost host_;
  DockAccess& dock_;
  bool open_ = false;
  std::function<void(bool)> onChange_;
  std::function<void()> onDockActivity_;
  std::vector<DockNotification> dockNotifications_;
  double openedAt_;
  std::unique_ptr<RepeatingTimer> poll_;
  bool checkQueued_ = false;
  bool paused_ = false;
  std::string lastTrigger_ = "poll";
  std::vector<ObserverToken> sessionTokens_;
  Lifetime lifetime_;
};

// Watches the input clocks for a trackpad swipe between desktops: gesture events arriving
// steadily while the pointer rests and nothing scrolls, magnifies or rotates.
class GestureWatch {
 public:
  enum class Clock { pointer, rotate, scroll, gesture, magnify, any };
  static std::uint32_t eventType(Clock clock);  // 5, 18, 22, 29, 30, 0xFFFFFFFF
  static constexpr int kSwipingPolls = 5;
  static constexpr double kQuietInterval = 0.25;
  static constexpr double kLiveInterval = 1.0 / 60;

  GestureWatch(MainLoop& loop, platform::InputClocks& clocks);
  GestureWatch(const GestureWatch&) = delete;
  GestureWatch& operator=(const GestureWatch&) = delete;

  bool swiping() const { return swiping_; }
  int livePolls() const { return livePolls_; }
  double interval() const;  // of the running timer, 0 when stopped
  void setOnChange(std::function<void(bool swiping)> fn) { onChange_ = std::move(fn); }
  void start();
  void stop();
  double secondsSince(Clock clock) const;
  // Seconds since the last gesture event; the greatest finite double when the pointer moved
  // at least as recently (the user is pointing, not swiping).
  double gestureQuietness() const;

 private:
  void tick();
  void schedule(double interval);

  MainLoop& loop_;
  platform::InputClocks& clocks_;
  bool swiping_ = false;
  int livePolls_ = 0;
  std::function<void(bool)> onChange_;
  std::unique_ptr<RepeatingTimer> timer_;
  Lifetime lifetime_;
};

}  // namespace velmora
