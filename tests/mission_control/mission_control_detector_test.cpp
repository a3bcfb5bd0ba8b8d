#include "mission_control/mission_control_detector.h"

#include <gtest/gtest.h>

#include <limits>

#include "golden.h"
#include "mission_control_world.h"

namespace velmora {
namespace {

using testing::McWorld;
using testing::num;

// The host's lengths per macOS version, the gesture clocks' event types, and what opening
// Mission Control does.
TEST(MissionControlHost, ConstantsPerVersionAsTheirGolden) {
  std::string out;
  for (int version : {14, 26, 27, 28}) {
    auto h = MissionControlHost::forVersion(version);
    out += std::to_string(h.systemMajorVersion) + ": " + h.bundleIdentifier + " " + h.windowOwner +
           " layer " + std::to_string(h.windowLayer) + " wm " +
           (h.usesWindowManager ? "yes" : "no") + " pass " + num(h.passInterval) + " padding " +
           num(h.labelPadding) + " extra " + num(h.pillExtraWidth) + " collapsed " +
           num(h.collapsedPillMinHeight) + "\n";
  }
  using Clock = GestureWatch::Clock;
  for (auto [name, clock] : {std::pair{"pointer", Clock::pointer},
                             {"rotate", Clock::rotate},
                             {"scroll", Clock::scroll},
                             {"gesture", Clock::gesture},
                             {"magnify", Clock::magnify},
                             {"any", Clock::any}}) {
    out +=
        std::string("clock ") + name + " " + std::to_string(GestureWatch::eventType(clock)) + "\n";
  }
  EXPECT_TRUE(testing::matchesGolden("mission_control/host.txt", out));

  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  openMissionControl(mac.platform().launchServices);
  EXPECT_EQ(mac.openedURLs(), std::vector<std::string>{kMissionControlAppURL});
}

// One window list a case: the Dock keeps a screen-sized window per display, so only a third
// (or its own layer) means Mission Control is up. Odd dictionaries count as zero-sized.
TEST(MissionControlDetector, WindowListVerdicts) {
  auto window = [](Value owner, Value layer, double w, double h) {
    Value::Dictionary d{{"kCGWindowBounds", Value::dictionary({{"Width", w}, {"Height", h}})}};
    if (!owner.isNull()) d["kCGWindowOwnerName"] = owner;
    if (!layer.isNull()) d["kCGWindowLayer"] = layer;
    return Value(d);
  };
  const std::vector<Size> two = {{1512, 982}, {1920, 1080}};
  Value main = window("Dock", 10, 1512, 982), side = window("Dock", 10, 1920, 1080);
  struct Case {
    const char* what;
    Value::Array windows;
    bool open;
    int version = 26;
  };
  const std::vector<Case> cases = {
      {"two displays, two wallpapers", {main, side}, false},
      {"a third screen-sized Dock window", {main, side, main}, true},
      {"a small window on the Dock's Mission Control layer", {window("Dock", 18, 10, 10)}, true},
      {"layer 18 belongs to the window manager from 27", {window("Dock", 18, 10, 10)}, false, 27},
      {"the window manager's layer 19", {window("WindowManager", 19.0, 1, 1)}, true, 27},
      {"width off by exactly 2 does not count", {main, side, window("Dock", 0, 1514, 982)}, false},
      {"width off by 1.9 counts", {main, side, window("Dock", 0, 1513.9, 982)}, true},
      {"another owner's windows", {main, side, window("Finder", 18, 1512, 982)}, false},
      {"an owner that is no string", {main, side, window(400, 18, 1512, 982)}, false},
      {"a negative layer is skipped", {main, side, window("Dock", -18, 1512, 982)}, false},
      {"a layer of text counts as 0", {main, side, window("Dock", "18", 1512, 982)}, true},
      {"no layer counts as 0", {main, side, window("Dock", Value(), 1920, 1080)}, true},
      {"no bounds is zero-sized",
       {main, side, Value::dictionary({{"kCGWindowOwnerName", "Dock"}})},
       false},
      {"an entry that is no dictionary", {main, side, Value("Dock")}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MissionControlDetector::isOpenIn(Value(c.windows), two,
                                               MissionControlHost::forVersion(c.version)),
              c.open)
        << c.what;
  }
  auto host = MissionControlHost::forVersion(26);
  EXPECT_FALSE(MissionControlDetector::isOpenIn(Value(), two, host)) << "no window list";
  EXPECT_FALSE(MissionControlDetector::isOpenIn(Value("x"), two, host)) << "not a list";
  EXPECT_FALSE(MissionControlDetector::isOpenIn(Value::Array{main}, {}, host)) << "no screens";
  EXPECT_TRUE(MissionControlDetector::isOpenIn(Value::Array{window("Dock", 18, 1, 1)}, {}, host))
      << "no screens, its own layer";
}

struct DetectorTest : ::testing::Test, McWorld {
  DetectorTest() {
    detector.setOnChange([this](bool open) {
      changes +=
          (open ? "open@" : "closed@") + num(loop.now()) + "/" + detector.lastTrigger() + " ";
    });
    detector.setOnDockActivity([this] { ++activity; });
  }
  void touch() { mac.userInput(platform::kEventMouseMoved); }
  void postToDock(const std::string& name, int times = 1) {
    auto root = mac.accessibilityNode(dock.ensureApplication());
    for (int i = 0; i < times; ++i) mac.postAccessibilityNotification(root, name);
  }

  MissionControlDetector detector{mac.platform(), host, dock};
  std::string changes;
  int activity = 0;
};

// Closed and idle, the poll reads no window list at all; input wakes it, an open Mission
// Control is watched every tick whatever the idle time, and a close is seen within a tick.
TEST_F(DetectorTest, IdlePollCostsNoWindowListThenInputOpensClosesAndStopEnds) {
  EXPECT_EQ(detector.openedAt(), -std::numeric_limits<double>::infinity());
  detector.start();
  EXPECT_TRUE(detector.isPolling());
  loop.advance(60.1);  // between ticks from here on
  EXPECT_EQ(windowListReads(), 0);
  EXPECT_EQ(mac.callCount("CGEventSourceSecondsSinceLastEventType"), 300);

  openMissionControl({});  // opened by a hot corner: no input the poll would notice
  loop.advance(5);
  EXPECT_FALSE(detector.isOpen());
  touch();  // at 65.1: looked at by the next tick
  loop.advance(0.2);
  EXPECT_TRUE(detector.isOpen());
  EXPECT_NEAR(detector.openedAt(), 65.2, 1e-9);

  loop.advance(10);  // idle, but open: every tick looks
  int reads = windowListReads();
  closeMissionControl();
  loop.advance(0.2);
  EXPECT_EQ(windowListReads(), reads + 1);

  // Closed again, one touch buys looks for 3 s: the fifteen ticks after it.
  touch();
  reads = windowListReads();
  loop.advance(2.95);
  EXPECT_EQ(windowListReads(), reads + 15);
  loop.advance(1);
  EXPECT_EQ(windowListReads(), reads + 15);

  // Stopping reports an open Mission Control as closed and ends the looking.
  openMissionControl({});
  detector.check("poll");
  detector.stop();
  EXPECT_FALSE(detector.isPolling());
  touch();
  loop.advance(1);
  EXPECT_EQ(windowListReads(), reads + 16);
  EXPECT_EQ(changes, "open@65.2/poll closed@75.4/poll open@79.45/poll closed@79.45/poll ");
}

TEST_F(DetectorTest, SleepAndSessionSwitchesPauseTicksAndNotifications) {
  detector.start();
  mac.sleepScreens();
  loop.runPending();
  EXPECT_TRUE(detector.isPaused());
  openMissionControl({});
  touch();
  postToDock("AXCreated");
  loop.advance(1);
  EXPECT_FALSE(detector.isOpen());
  EXPECT_EQ(windowListReads(), 0);
  mac.wakeScreens();
  touch();
  loop.advance(0.2);
  EXPECT_TRUE(detector.isOpen());

  mac.switchSessionAway();
  loop.runPending();
  closeMissionControl();
  touch();
  loop.advance(1);
  EXPECT_TRUE(detector.isOpen()) << "paused: the close waits";
  mac.switchSessionBack();
  touch();
  loop.advance(0.2);
  EXPECT_FALSE(detector.isOpen());
  EXPECT_EQ(changes, "open@1.2/poll closed@2.4/poll ");
}

// A burst of Dock notifications costs one check; while open they are recorded (24 at most,
// stamped from the opening) and tell of Dock activity; the record starts afresh each opening.
TEST_F(DetectorTest, DockNotificationsAreCoalescedRecordedAndCapped) {
  ASSERT_TRUE(dock.hasObserver());
  openMissionControl({});
  postToDock("AXCreated");
  loop.advance(0.5);  // delivered, then checked on the next turn: opened by the observer
  EXPECT_TRUE(detector.isOpen());
  EXPECT_EQ(windowListReads(), 1);
  EXPECT_EQ(activity, 0) << "it was closed before that check";

  postToDock("AXSelectedChildrenChanged", 25);
  loop.advance(0.25);
  EXPECT_EQ(windowListReads(), 2);
  EXPECT_EQ(activity, 1);
  ASSERT_EQ(detector.dockNotifications().size(), MissionControlDetector::kMaxDockNotifications);
  EXPECT_EQ(detector.dockNotifications().front(),
            (MissionControlDetector::DockNotification{"AXSelectedChildrenChanged", 0.5}));

  closeMissionControl();
  postToDock("AXUIElementDestroyed");
  loop.advance(0.1);
  EXPECT_FALSE(detector.isOpen());
  EXPECT_EQ(activity, 1);
  openMissionControl({});
  detector.check("poll");
  EXPECT_TRUE(detector.dockNotifications().empty());
  EXPECT_EQ(changes, "open@0/observer closed@0.75/observer open@0.85/poll ");
}

// ---- GestureWatch ----

struct GestureTest : ::testing::Test {
  // A trackpad sending gesture events 120 times a second while `gesturing`.
  GestureTest() {
    feed = loop.repeating(1.0 / 120, 0, [this] {
      if (gesturing) mac.userInput(29);
    });
    watch.setOnChange(
        [this](bool on) { changes += (on ? "on@" : "off@") + num(loop.now()) + " "; });
  }
  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  GestureWatch watch{loop, mac.platform().inputClocks};
  std::unique_ptr<RepeatingTimer> feed;
  bool gesturing = false;
  std::string changes;
};

TEST_F(GestureTest, SwipeOnAtTheFifthLiveTickOffAtTheFirstQuietOneAndBackTo4Hz) {
  watch.start();
  EXPECT_DOUBLE_EQ(watch.interval(), 0.25);
  loop.advance(1);
  gesturing = true;
  loop.advance(0.25);  // tick at 1.25: the first live poll, and 60 Hz from now on
  EXPECT_EQ(watch.livePolls(), 1);
  EXPECT_NEAR(watch.interval(), 1.0 / 60, 1e-9);
  loop.advance(3.5 / 60);
  EXPECT_FALSE(watch.swiping());
  loop.advance(1.0 / 60);
  EXPECT_TRUE(watch.swiping());
  EXPECT_EQ(watch.livePolls(), 5);

  mac.userInput(platform::kEventScrollWheel);  // scrolling is no swipe
  loop.advance(1.0 / 60);
  EXPECT_FALSE(watch.swiping());
  EXPECT_EQ(watch.livePolls(), 0);
  loop.advance(0.4);  // the scroll is old again
  EXPECT_TRUE(watch.swiping());

  EXPECT_EQ(changes, "on@1.317 off@1.333 on@1.7 ");

  // The stream stops: off within a tick of the last event going stale, and 4 Hz after 2 s.
  gesturing = false;
  double stopped = loop.now();
  loop.advance(0.1);
  EXPECT_FALSE(watch.swiping());
  loop.advance(2);
  EXPECT_DOUBLE_EQ(watch.interval(), 0.25);
  double off = std::stod(changes.substr(changes.rfind("off@") + 4));
  EXPECT_GT(off, stopped + 0.05 - 1.0 / 120);
  EXPECT_LE(off, stopped + 0.05 + 1.0 / 60);
}

TEST_F(GestureTest, PointingOutranksGesturesAndStopEndsASwipe) {
  mac.userInput(29);
  loop.advance(1);
  EXPECT_DOUBLE_EQ(watch.gestureQuietness(), 1);
  mac.userInput(platform::kEventMouseMoved);
  EXPECT_EQ(watch.gestureQuietness(), std::numeric_limits<double>::max());

  loop.advance(1);
  gesturing = true;
  watch.start();
  loop.advance(1);
  ASSERT_TRUE(watch.swiping());
  watch.stop();
  EXPECT_EQ(watch.livePolls(), 0);
  EXPECT_EQ(watch.interval(), 0);
  EXPECT_FALSE(watch.swiping());
  EXPECT_NE(changes.find("off@3 "), std::string::npos);
}

}  // namespace
}  // namespace velmora
