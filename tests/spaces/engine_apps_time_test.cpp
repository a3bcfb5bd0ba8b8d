#include <gtest/gtest.h>

#include "engine_world.h"

namespace velmora {
namespace {

using ::velmora::testing::EngineWorld;
using ::velmora::testing::mid;
using ::velmora::testing::sid;
using Events = std::vector<std::string>;

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
  // Each desktop's applications front to back with their badges ("?" for no name), then
  // what was announced since: "Safari Mail=3 | ? Xcode Safari | spaces".
  std::string apps() {
    std::string out;
    for (const Desktop& d : w.engine->desktops()) {
      for (const SpaceApp& app : w.engine->apps(d)) {
        out += (app.name.empty() ? "?" : app.name) + (app.badge ? "=" + *app.badge : "") + " ";
      }
      out += "| ";
    }
    for (const std::string& e : w.takeEvents()) out += e + " ";
    return out;
  }

  EngineWorld w;
  std::vector<std::uint64_t> a;
  platform::pid_t safari, mail, xcode, clock, clips, unnamed;
};

TEST_F(AppsWorld, RegularApplicationsFrontToBackOncePerDesktopScannedOnceASecond) {
  auto scans = [&] { return w.mac.callCount("CGWindowListCopyWindowInfo"); };
  w.engine->refreshApps(false);
  EXPECT_EQ(scans(), 1);
  // Xcode's window is in front of Safari's on the second desktop; a nameless app reads "".
  EXPECT_EQ(apps(), "Safari Mail | ? Xcode Safari | ");
  EXPECT_EQ(w.engine->apps(desktop(1))[0].pid, unnamed);
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
  EXPECT_EQ(apps(), "Safari | ? Xcode Safari Mail | ");
}

TEST_F(AppsWorld, OnlyBadgesOfApplicationsOutOfSightAreAnnounced) {
  w.engine->refreshApps(true);
  w.takeEvents();
  // Mail on the shown desktop, Safari on the shown and a hidden one: both still in sight.
  // Xcode only on the hidden desktop: announced, and again when its badge changes.
  std::vector<std::string> seen;
  for (auto [pid, badge] : {std::pair{mail, "3"}, {safari, "1"}, {xcode, "5"}, {xcode, "6"}}) {
    w.badges.texts[pid] = badge;
    w.engine->refreshApps(true);
    seen.push_back(apps());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Safari Mail=3 | ? Xcode Safari | ",
                                            "Safari=1 Mail=3 | ? Xcode Safari=1 | ",
                                            "Safari=1 Mail=3 | ? Xcode=5 Safari=1 | spaces ",
                                            "Safari=1 Mail=3 | ? Xcode=6 Safari=1 | spaces "}));
  EXPECT_EQ(w.badges.reads, 5);  // every forced scan asks the Dock again

  w.settings.badges = false;
  w.badges.texts[xcode] = "7";
  w.engine->refreshApps(true);
  EXPECT_EQ(apps(), "Safari Mail | ? Xcode Safari | ");
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
  EXPECT_EQ(apps(), "Demo | | ");
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

TEST_F(TimeWorld, EachSweepCreditsTheDesktopTheUserIsOnFlushedOnASwitchAndEachMinute) {
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
  // Totals are flushed about once a minute too.
  EXPECT_EQ(w.ledger.flushes(), 1);
  w.loop.advance(55.0);
  EXPECT_EQ(w.ledger.flushes(), 1);
  w.loop.advance(3.0);  // past 60 s since creation
  EXPECT_EQ(w.ledger.flushes(), 2);
  EXPECT_DOUBLE_EQ(w.ledger.flushedSeconds(mid(a[1])), 58.0);
  w.engine->flushTime();  // as when quitting
  EXPECT_EQ(w.ledger.flushes(), 3);
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

}  // namespace
}  // namespace velmora
