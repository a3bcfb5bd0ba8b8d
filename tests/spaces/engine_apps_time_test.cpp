#include <gtest/gtest.h>

#include "engine_world.h"

namespace velmora {
namespace {

using ::velmora::testing::EngineWorld;
using ::velmora::testing::mid;
using ::velmora::testing::sid;
using Events = std::vector<std::string>;

std::vector<std::string> names(const std::vector<SpaceApp>& apps) {
  std::vector<std::string> n;
  for (const SpaceApp& app : apps) n.push_back(app.name);
  return n;
}

TEST(SpaceAppRecord, ComparesByPidAndBadgeOnly) {
  SpaceApp a{.pid = 7, .name = "Mail", .icon = platform::AppIcon{"mail"}, .badge = "2"};
  SpaceApp b{.pid = 7, .name = "Mail 2", .icon = platform::AppIcon{"other"}, .badge = "2"};
  EXPECT_EQ(a, b);
  b.badge = "3";
  EXPECT_NE(a, b);
}

// A desktop world with applications on it: A has desktops a[0] (current) and a[1].
class AppsWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    a = w.display("A", 2);
    safari = w.mac.addApplication({.name = "Safari"});
    mail = w.mac.addApplication({.name = "Mail"});
    xcode = w.mac.addApplication({.name = "Xcode"});
    clock = w.mac.addApplication({.name = "Clock"});
    clips =
        w.mac.addApplication({.name = "Clips", .policy = platform::ActivationPolicy::Accessory});
    unnamed = w.mac.addApplication({});
    w.mac.addSystemFurniture();
    w.mac.addWindow(safari, {a[0]}, AXRect::make(0, 30, 900, 700));
    w.mac.addWindow(mail, {a[0]}, AXRect::make(50, 60, 900, 700));
    w.mac.addWindow(clock, {a[0]}, AXRect::make(0, 30, 300, 60));  // only a strip: not a window
    w.mac.addWindow(clips, {a[0]}, AXRect::make(0, 30, 400, 400));
    w.mac.addWindow(sim::VirtualMac::kSelfPID, {a[0]}, AXRect::make(0, 30, 400, 400));
    w.mac.addWindow(safari, {a[0]}, AXRect::make(10, 40, 900, 700));  // Safari in front again
    w.mac.addWindow(safari, {a[1]}, AXRect::make(0, 30, 900, 700));
    w.mac.addWindow(xcode, {a[1]}, AXRect::make(0, 30, 900, 700));
    w.mac.addWindow(unnamed, {a[1]}, AXRect::make(0, 30, 900, 700));
    w.makeEngine();
    w.mac.userInput(platform::kEventMouseMoved);
  }

  const Desktop& desktop(int i) { return w.engine->desktops()[static_cast<std::size_t>(i)]; }

  EngineWorld w;
  std::vector<std::uint64_t> a;
  platform::pid_t safari, mail, xcode, clock, clips, unnamed;
};

TEST_F(AppsWorld, ListsRegularApplicationsFrontToBackOncePerDesktop) {
  w.engine->refreshApps(false);
  EXPECT_EQ(names(w.engine->apps(desktop(0))), (std::vector<std::string>{"Safari", "Mail"}));
  // Xcode's window is in front of Safari's on the second desktop; a nameless app reads "".
  EXPECT_EQ(names(w.engine->apps(desktop(1))), (std::vector<std::string>{"", "Xcode", "Safari"}));
  EXPECT_EQ(w.engine->apps(desktop(1))[0].pid, unnamed);
}

TEST_F(AppsWorld, TheScanIsCachedForOneSecondUnlessForced) {
  auto scans = [&] { return w.mac.callCount("CGWindowListCopyWindowInfo"); };
  w.engine->refreshApps(false);
  EXPECT_EQ(scans(), 1);
  w.loop.advance(1.0);
  w.engine->refreshApps(false);
  EXPECT_EQ(scans(), 1);
  w.loop.advance(0.01);
  w.engine->refreshApps(false);
  EXPECT_EQ(scans(), 2);
  w.engine->refreshApps(true);
  EXPECT_EQ(scans(), 3);
  // Moving a window invalidates the cache.
  w.engine->moveFrontWindow(w.mac.workspace().runningApplication(mail), desktop(1), false);
  w.engine->refreshApps(false);
  EXPECT_EQ(scans(), 5);  // the front-window lookup and the scan
  EXPECT_EQ(names(w.engine->apps(desktop(1))).back(), "Mail");
}

TEST_F(AppsWorld, OnlyBadgesOfApplicationsOutOfSightAreAnnounced) {
  w.engine->refreshApps(true);
  w.takeEvents();
  w.badges.texts = {{mail, "3"}};  // Mail is on the shown desktop
  w.engine->refreshApps(true);
  EXPECT_EQ(w.engine->apps(desktop(0))[1].badge, "3");
  EXPECT_TRUE(w.takeEvents().empty());

  w.badges.texts[safari] = "1";  // on the shown and a hidden desktop: still in sight
  w.engine->refreshApps(true);
  EXPECT_TRUE(w.takeEvents().empty());

  w.badges.texts[xcode] = "5";  // only on the hidden desktop
  w.engine->refreshApps(true);
  EXPECT_EQ(w.takeEvents(), (Events{"spaces"}));
  w.badges.texts[xcode] = "6";
  w.engine->refreshApps(true);
  EXPECT_EQ(w.takeEvents(), (Events{"spaces"}));
  EXPECT_EQ(w.badges.reads, 5);  // every forced scan asks the Dock again

  w.settings.badges = false;
  w.badges.texts[xcode] = "7";
  w.engine->refreshApps(true);
  EXPECT_TRUE(w.takeEvents().empty());
  EXPECT_EQ(w.engine->apps(desktop(1))[1].badge, std::nullopt);
  EXPECT_EQ(w.badges.reads, 5);
}

TEST_F(AppsWorld, BadgeChangesAreLoggedAndRescanned) {
  w.badges.texts = {{mail, "3"}, {9999, "1"}, {xcode, "12"}};
  w.center.post(notifications::kBadgesDidChange);
  EXPECT_EQ(w.log.lines.back(), "dock badges: Mail 3, Xcode 12, pid 9999 1 (read in 12 ms)");
  EXPECT_EQ(w.engine->apps(desktop(1))[1].badge, "12");
  w.badges.texts.clear();
  w.engine->badgesChanged();
  EXPECT_EQ(w.log.lines.back(), "dock badges: none (read in 12 ms)");
}

TEST_F(AppsWorld, TheDockIsPolledEverySixSecondsWhileTheUserIsActive) {
  w.loop.advance(1.5);  // first sweep
  EXPECT_EQ(w.badges.reads, 1);
  w.loop.advance(4.5);  // 4.5 s after the first poll
  EXPECT_EQ(w.badges.reads, 1);
  w.loop.advance(1.5);  // 6 s after it
  EXPECT_EQ(w.badges.reads, 2);
  // Idle for 90 s: no reads, and the six-second clock waits for the user.
  w.loop.advance(90);
  int idleReads = w.badges.reads;
  w.loop.advance(30);
  EXPECT_EQ(w.badges.reads, idleReads);
  w.mac.userInput(platform::kEventKeyDown);
  w.loop.advance(1.5);
  EXPECT_EQ(w.badges.reads, idleReads + 1);
  // With sample apps in place the live Dock is left alone.
  w.engine->setSampleApps(SpaceEngine::AppsMap{{sid(a[0]), {SpaceApp{.pid = 1, .name = "Demo"}}}});
  w.mac.userInput(platform::kEventKeyDown);
  w.loop.advance(12);
  EXPECT_EQ(w.badges.reads, idleReads + 1);
  EXPECT_EQ(names(w.engine->apps(desktop(0))), (std::vector<std::string>{"Demo"}));
}

// ---- Time per desktop ----

class TimeWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    a = w.display("A", 2);
    w.makeEngine();
  }
  double credited(int i) { return w.ledger.seconds(mid(a[static_cast<std::size_t>(i)])); }
  void active() { w.mac.userInput(platform::kEventMouseMoved); }

  EngineWorld w;
  std::vector<std::uint64_t> a;
};

TEST_F(TimeWorld, EachSweepCreditsTheDesktopTheUserIsOn) {
  active();
  w.loop.advance(3.0);
  EXPECT_DOUBLE_EQ(credited(0), 3.0);
  w.loop.advance(0.5);
  w.mac.userSwitchTo(a[1]);
  w.loop.runPending();
  // The half second before the switch goes to the desktop being left, and is flushed.
  EXPECT_DOUBLE_EQ(credited(0), 3.5);
  EXPECT_DOUBLE_EQ(w.ledger.flushedSeconds(mid(a[0])), 3.5);
  w.loop.advance(1.0);  // the sweep at 4.5 s
  EXPECT_DOUBLE_EQ(credited(1), 1.0);
}

TEST_F(TimeWorld, IdleUsersAndImplausibleGapsAreNotCounted) {
  w.settings.idle = 0;  // raised to one minute
  active();
  w.loop.advance(58.5);
  EXPECT_DOUBLE_EQ(credited(0), 58.5);
  w.loop.advance(3.0);  // 60 s and more without input
  EXPECT_DOUBLE_EQ(credited(0), 58.5);

  active();
  w.loop.skewWallClock(40);  // the Mac slept: the next gap is 41.5 s
  w.loop.advance(1.5);
  EXPECT_DOUBLE_EQ(credited(0), 58.5);
  w.loop.advance(1.5);
  EXPECT_DOUBLE_EQ(credited(0), 60.0);

  w.settings.track = false;
  w.loop.advance(3.0);
  EXPECT_DOUBLE_EQ(credited(0), 60.0);
  w.settings.track = true;  // the time while off is not credited later
  w.loop.advance(1.5);
  EXPECT_DOUBLE_EQ(credited(0), 61.5);
}

TEST_F(TimeWorld, TotalsAreFlushedAboutOnceAMinute) {
  active();
  w.loop.advance(59.5);
  EXPECT_EQ(w.ledger.flushes(), 0);
  w.loop.advance(3.0);  // past 60 s since creation
  EXPECT_EQ(w.ledger.flushes(), 1);
  w.engine->flushTime();
  EXPECT_EQ(w.ledger.flushes(), 2);
  EXPECT_DOUBLE_EQ(w.ledger.flushedSeconds(mid(a[0])), 62.5);
}

}  // namespace
}  // namespace velmora
