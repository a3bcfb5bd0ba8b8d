#include <gtest/gtest.h>

#include "engine_world.h"

namespace velmora {
namespace {

using ::velmora::testing::EngineWorld;
using ::velmora::testing::sid;
using Events = std::vector<std::string>;

std::vector<int> numbers(const std::vector<Desktop>& desktops) {
  std::vector<int> n;
  for (const Desktop& d : desktops) n.push_back(d.number);
  return n;
}

// ---- Numbering ----

TEST(SpaceEngineNumbering, CountsAcrossDisplaysAndSkipsFullScreenSpaces) {
  EngineWorld w;
  auto a = w.display("A", 2);
  auto b = w.display("B", 1, 1512);
  std::uint64_t fs = w.mac.addSpace("B", sim::kSpaceTypeFullScreen);
  std::uint64_t b2 = w.mac.addSpace("B");
  w.mac.addSpace("A", sim::kSpaceTypeFullScreen);  // trailing full screen on the first display
  auto& engine = w.makeEngine(false);

  const auto& desktops = engine.desktops();
  ASSERT_EQ(numbers(desktops), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(desktops[0].id(), sid(a[0]));
  EXPECT_EQ(desktops[2].id(), sid(b[0]));
  EXPECT_EQ(desktops[3].id(), sid(b2));
  EXPECT_FALSE(engine.desktopWithID(sid(fs)));
  EXPECT_EQ(engine.desktopWithNumber(4)->id(), sid(b2));
  EXPECT_FALSE(engine.desktopWithNumber(5));
  EXPECT_EQ(numbers(engine.desktopsOnDisplay("B")), (std::vector<int>{3, 4}));
  EXPECT_TRUE(desktops[0].isCurrent);
  EXPECT_TRUE(desktops[2].isCurrent);
  EXPECT_FALSE(desktops[3].isCurrent);
  // Creation reads quietly: nothing was announced.
  EXPECT_TRUE(w.events.empty());
}

TEST(SpaceEngineNumbering, RemovingADesktopRenumbersTheOnesAfterIt) {
  EngineWorld w;
  auto a = w.display("A", 4);
  auto& engine = w.makeEngine();
  w.mac.userRemoveSpace(a[1]);
  w.loop.advance(1.5);
  EXPECT_EQ(numbers(engine.desktops()), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(engine.desktopWithNumber(2)->id(), sid(a[2]));
  EXPECT_EQ(engine.desktopWithNumber(3)->space.managedID, testing::mid(a[3]));
}

// ---- Switches and what is announced ----

TEST(SpaceEngineSwitches, ASwitchIsAnnouncedOnceAndRemembered) {
  EngineWorld w;
  auto a = w.display("A", 3);
  w.mac.userSwitchTo(a[1]);
  auto& engine = w.makeEngine();
  w.mac.userSwitchTo(a[2]);
  w.loop.runPending();
  EXPECT_EQ(w.takeEvents(), (Events{"spaces", "active", "switch A 2->3"}));
  EXPECT_EQ(engine.lastDesktopID(), sid(a[1]));
  EXPECT_EQ(engine.lastDesktop()->number, 2);
  EXPECT_EQ(engine.currentDesktop()->number, 3);
  // The trailing refresh and later sweeps see nothing new.
  w.loop.advance(5);
  EXPECT_TRUE(w.events.empty());
}

TEST(SpaceEngineSwitches, DesktopsPassedThroughAreNeverAnnouncedOrRemembered) {
  EngineWorld w;
  auto a = w.display("A", 4);
  auto& engine = w.makeEngine();
  engine.setTransitSpaceIDs({sid(a[1]), sid(a[2])});
  for (int i = 1; i < 4; ++i) {
    w.userSwitch(a[static_cast<std::size_t>(i)]);
  }
  Events events = w.takeEvents();
  EXPECT_EQ(std::count(events.begin(), events.end(), "active"), 1);
  EXPECT_EQ(events.back(), "switch A 3->4");
  EXPECT_EQ(engine.lastDesktopID(), sid(a[0]));

  // A transit desktop is not announced even as the final landing.
  engine.setTransitSpaceIDs({sid(a[0])});
  w.userSwitch(a[0]);
  events = w.takeEvents();
  EXPECT_EQ(std::count(events.begin(), events.end(), "active"), 0);
  EXPECT_EQ(engine.lastDesktopID(), sid(a[3]));
}

TEST(SpaceEngineSwitches, FullScreenSpacesAreLeftOutOfAnnouncements) {
  EngineWorld w;
  auto a = w.display("A", 2);
  platform::pid_t app = w.mac.addApplication({.name = "Keynote"});
  std::int64_t win = w.mac.addWindow(app, {a[0]}, AXRect::make(0, 30, 800, 600));
  auto& engine = w.makeEngine();
  std::uint64_t fs = w.mac.userEnterFullScreen(win);
  w.loop.advance(0.1);
  Events events = w.takeEvents();
  EXPECT_EQ(events, (Events{"spaces"}));  // the layout changed; no landing to announce
  EXPECT_EQ(engine.currentSpaceIDForDisplay("A"), sid(fs));
  EXPECT_EQ(engine.lastDesktopID(), sid(a[0]));
  // currentDesktop falls back to the first desktop flagged current: none is.
  EXPECT_FALSE(engine.currentDesktop());

  w.userSwitch(a[1]);
  EXPECT_EQ(w.takeEvents(), (Events{"spaces", "active", "switch A none->2"}));
  EXPECT_EQ(engine.lastDesktopID(), sid(a[0]));
}

TEST(SpaceEngineSwitches, JumpBackNeverLeadsToTheDesktopTheUserIsOn) {
  EngineWorld w;
  auto a = w.display("A", 2);
  platform::pid_t app = w.mac.addApplication({.name = "Keynote"});
  std::int64_t win = w.mac.addWindow(app, {a[1]}, AXRect::make(0, 30, 800, 600));
  auto& engine = w.makeEngine();
  w.userSwitch(a[1]);
  w.mac.userEnterFullScreen(win);
  w.loop.advance(0.1);
  EXPECT_EQ(engine.lastDesktop()->number, 2);  // out of full screen, back to desktop 2
  w.userSwitch(a[1]);
  EXPECT_EQ(engine.lastDesktop()->number, 1);  // from desktop 2, back where it was before
  engine.jumpBack();
  w.loop.advance(1);
  EXPECT_EQ(w.mac.currentSpace("A"), a[0]);
}

TEST(SpaceEngineSwitches, ClickingIntoAnotherDisplayChangesTheUsersDesktop) {
  EngineWorld w;
  w.display("A", 2);
  auto b = w.display("B", 1, 1512);
  w.settings.idle = 60;
  auto& engine = w.makeEngine();
  w.mac.userInput(platform::kEventMouseMoved);
  w.loop.advance(1.5);
  w.mac.setActiveMenuBarDisplay("B");
  w.loop.advance(1.5);  // no notification for a click: the sweep notices
  EXPECT_EQ(w.takeEvents(), (Events{"active"}));
  EXPECT_EQ(engine.currentDesktop()->id(), sid(b[0]));
  // The time up to the sweep that noticed belongs to the desktop left on display A.
  EXPECT_DOUBLE_EQ(w.ledger.seconds(testing::mid(engine.desktopWithNumber(1)->id().raw())), 3);
  w.loop.advance(1.5);
  EXPECT_TRUE(w.events.empty());
}

TEST(SpaceEngineSwitches, LeavingADeletedDesktopIsAnnouncedFromNowhere) {
  EngineWorld w;
  auto a = w.display("A", 3);
  w.mac.userSwitchTo(a[1]);
  auto& engine = w.makeEngine();
  w.userSwitch(a[2]);
  ASSERT_EQ(engine.lastDesktopID(), sid(a[1]));
  w.takeEvents();
  w.mac.userRemoveSpace(a[2]);  // the current one: the one before it becomes current
  w.loop.advance(0.1);
  EXPECT_EQ(w.takeEvents(), (Events{"spaces", "active", "switch A none->2"}));
  // Back on the desktop jump back remembered: it no longer leads anywhere.
  EXPECT_FALSE(engine.lastDesktop());
}

TEST(SpaceEngineSwitches, EachDisplayReportsItsOwnSwitch) {
  EngineWorld w;
  auto a = w.display("A", 2);
  auto b = w.display("B", 2, 1512);
  auto& engine = w.makeEngine();
  // One refresh that sees both displays move.
  w.mac.managedDisplaySetCurrentSpace(0, "A", a[1]);
  w.mac.managedDisplaySetCurrentSpace(0, "B", b[1]);
  engine.refresh(false);
  EXPECT_EQ(w.takeEvents(), (Events{"spaces", "active", "switch A 1->2", "switch B 3->4"}));
}

TEST(SpaceEngineSwitches, AQuietRefreshRecordsButAnnouncesNoLanding) {
  EngineWorld w;
  auto a = w.display("A", 2);
  auto& engine = w.makeEngine(false);
  w.mac.managedDisplaySetCurrentSpace(0, "A", a[1]);
  engine.refresh(true);
  EXPECT_EQ(w.takeEvents(), (Events{"spaces"}));
  EXPECT_EQ(engine.lastDesktopID(), sid(a[0]));
  EXPECT_EQ(engine.currentDesktop()->id(), sid(a[1]));
}

// ---- Coalescing and bad answers ----

TEST(SpaceEngineRefresh, ABurstOfNotificationsCausesOneRefreshNowAndOneTrailing) {
  EngineWorld w;
  w.display("A", 2);
  auto& engine = w.makeEngine();
  int before = w.layoutReads();
  engine.environmentChanged();
  w.loop.advance(0.005);
  engine.environmentChanged();
  w.loop.advance(0.005);
  engine.environmentChanged();
  EXPECT_EQ(w.layoutReads() - before, 1);
  EXPECT_TRUE(engine.refreshPending());
  w.loop.advance(0.019);  // 29 ms after the first
  EXPECT_EQ(w.layoutReads() - before, 1);
  w.loop.advance(0.002);
  EXPECT_EQ(w.layoutReads() - before, 2);
  EXPECT_FALSE(engine.refreshPending());
  engine.environmentChanged();  // a new burst starts a new pair
  EXPECT_EQ(w.layoutReads() - before, 3);
}

TEST(SpaceEngineRefresh, AnEmptyOrBrokenAnswerKeepsEverything) {
  EngineWorld w;
  auto a = w.display("A", 3);
  auto& engine = w.makeEngine();
  auto desktops = engine.desktops();
  for (Value answer : {Value(), Value(Value::Array{}), Value("garbage"), Value(17)}) {
    w.mac.overrideManagedDisplaySpaces(answer);
    w.userSwitch(a[2], 2);
    EXPECT_EQ(engine.desktops(), desktops);
    EXPECT_EQ(engine.currentSpaceIDForDisplay("A"), sid(a[0]));
  }
  EXPECT_TRUE(w.events.empty());
  w.mac.overrideManagedDisplaySpaces(std::nullopt);
  w.loop.advance(1.5);  // the sweep catches up
  EXPECT_EQ(w.takeEvents(), (Events{"spaces", "active", "switch A 1->3"}));
}

TEST(SpaceEngineRefresh, TheSweepNoticesChangesNobodyAnnounced) {
  EngineWorld w;
  w.display("A", 1);
  auto& engine = w.makeEngine();
  w.mac.userAddDesktop("A");  // Mission Control's "+" posts no workspace notification
  w.loop.advance(1.4);
  EXPECT_EQ(engine.desktops().size(), 1u);
  w.loop.advance(0.2);
  EXPECT_EQ(engine.desktops().size(), 2u);
  EXPECT_EQ(w.takeEvents(), (Events{"spaces"}));
}

TEST(SpaceEngineRefresh, PendingWorkIsHarmlessAfterTheEngineIsGone) {
  EngineWorld w;
  auto a = w.display("A", 2);
  w.makeEngine();
  w.engine->environmentChanged();
  w.engine->switchTo(*w.engine->desktopWithID(sid(a[1])), "test");
  w.switcher.reset();  // as the application lets go of them: the switcher first
  w.engine.reset();
  w.takeEvents();
  const int reads = w.layoutReads();
  w.userSwitch(a[0], 5);  // trailing refresh, sweep, switch polls: all find nobody home
  EXPECT_TRUE(w.events.empty());
  EXPECT_EQ(w.layoutReads(), reads);
}

// ---- Moving between desktops ----

TEST(SpaceEngineMoving, StepWrapsAroundWithinTheDisplay) {
  EngineWorld w;
  auto a = w.display("A", 3);
  auto b = w.display("B", 2, 1512);
  w.mac.userSwitchTo(a[2]);
  auto& engine = w.makeEngine();
  engine.step(1);
  w.loop.advance(1);
  EXPECT_EQ(w.mac.currentSpace("A"), a[0]);
  EXPECT_EQ(w.mac.currentSpace("B"), b[0]);  // never crosses to the other display
  engine.step(-1);
  w.loop.advance(1);
  EXPECT_EQ(w.mac.currentSpace("A"), a[2]);
  engine.step(-4);
  w.loop.advance(1);
  EXPECT_EQ(w.mac.currentSpace("A"), a[1]);
  EXPECT_NE(w.log.lines.back().find("step [raw] status=0: "), std::string::npos);
}

TEST(SpaceEngineMoving, JumpBackReturnsToThePreviousDesktopOnlyWhileItExists) {
  EngineWorld w;
  auto a = w.display("A", 3);
  auto& engine = w.makeEngine();
  w.userSwitch(a[2]);
  engine.jumpBack();
  w.loop.advance(1);
  EXPECT_EQ(w.mac.currentSpace("A"), a[0]);
  EXPECT_EQ(engine.lastDesktopID(), sid(a[2]));

  w.userSwitch(a[1]);
  w.mac.userRemoveSpace(a[0]);
  w.loop.advance(2);
  int switchesBefore = w.mac.callCount("SLSManagedDisplaySetCurrentSpace");
  engine.jumpBack();
  w.loop.advance(1);
  EXPECT_EQ(w.mac.callCount("SLSManagedDisplaySetCurrentSpace"), switchesBefore);
}

TEST(SpaceEngineMoving, SwitchesReportLandingOrSupersession) {
  EngineWorld w;
  auto a = w.display("A", 3);
  auto& engine = w.makeEngine();
  std::vector<std::string> results;
  engine.switchTo(*engine.desktopWithID(sid(a[1])), "test",
                  [&](bool ok) { results.push_back(ok ? "first landed" : "first missed"); });
  engine.switchTo(*engine.desktopWithID(sid(a[2])), "test",
                  [&](bool ok) { results.push_back(ok ? "second landed" : "second missed"); });
  w.loop.advance(1);
  EXPECT_EQ(results, (std::vector<std::string>{"first missed", "second landed"}));
  EXPECT_EQ(w.log.lines.front(), "test [raw] status=0: → 'Desktop 2' superseded by a later switch");

  w.mac.failSetCurrentSpace(1011);
  engine.switchTo(*engine.desktopWithID(sid(a[0])), "link",
                  [&](bool ok) { results.push_back(ok ? "third landed" : "third missed"); });
  w.loop.advance(0.79);
  EXPECT_EQ(results.size(), 2u);  // still polling until the 0.8 s deadline
  w.loop.advance(0.1);
  EXPECT_EQ(results.size(), 2u);  // the call is made once more, with its own deadline
  w.loop.advance(0.8);
  EXPECT_EQ(results.back(), "third missed");
  EXPECT_NE(w.log.lines.back().find("link [raw] status=1011 [raw again]: "), std::string::npos);
}

TEST(SpaceEngineMoving, MovingTheFrontWindowTakesItsApplicationAlong) {
  EngineWorld w;
  auto a = w.display("A", 2);
  platform::pid_t notes = w.mac.addApplication({.name = "Notes"});
  std::int64_t win = w.mac.addWindow(notes, {a[0]}, AXRect::make(0, 30, 600, 400));
  w.mac.addWindow(sim::VirtualMac::kSelfPID, {a[0]}, AXRect::make(0, 30, 600, 400));
  auto& engine = w.makeEngine();
  Desktop target = *engine.desktopWithID(sid(a[1]));

  EXPECT_FALSE(engine.moveFrontWindow(std::nullopt, target, false));
  EXPECT_FALSE(
      engine.moveFrontWindow(w.mac.runningApplication(sim::VirtualMac::kSelfPID), target, false));
  EXPECT_EQ(w.mac.callCount("SLSMoveWindowsToManagedSpace"), 0);

  w.mac.setAccessibilityTrusted(true);
  EXPECT_TRUE(engine.moveFrontWindow(w.mac.runningApplication(notes), target, true));
  EXPECT_EQ(w.mac.window(win)->spaces, std::vector<std::uint64_t>{a[1]});
  w.loop.advance(1);
  EXPECT_EQ(w.mac.currentSpace("A"), a[1]);
  EXPECT_EQ(w.mac.frontmostPID(), notes);
  EXPECT_EQ(w.log.lines.back(), "brought Notes to the front: accessibility=ok activate=accepted");

  // The application quits before the landing: said in the log, nothing brought forward.
  w.mac.addWindow(notes, {a[1]}, AXRect::make(0, 30, 600, 400));
  EXPECT_TRUE(engine.moveFrontWindow(w.mac.runningApplication(notes),
                                     *engine.desktopWithID(sid(a[0])), true));
  w.mac.quitApplication(notes);
  w.loop.advance(1);
  EXPECT_EQ(w.log.lines.back(), "could not bring Notes to the front: it is no longer running");
}

// ---- End to end ----

TEST(SpaceEngineEndToEnd, AUserWalksTwoDisplaysAndEveryLandingIsToldInOrder) {
  EngineWorld w;
  auto a = w.display("A", 2);
  auto b = w.display("B", 2, 1512);
  std::uint64_t fs = w.mac.addSpace("B", sim::kSpaceTypeFullScreen);
  auto& engine = w.makeEngine();

  w.userSwitch(a[1], 0.5);
  w.userSwitch(b[1], 0.5);
  w.userSwitch(fs, 0.5);
  w.userSwitch(b[0], 0.5);
  bool landed = false;
  engine.switchTo(*engine.desktopWithNumber(1), "hotkey", [&](bool ok) { landed = ok; });
  w.loop.advance(1);

  EXPECT_TRUE(landed);
  EXPECT_EQ(w.takeEvents(),
            (Events{"spaces", "active", "switch A 1->2",  //
                    "spaces", "active", "switch B 3->4",  //
                    "spaces",                             // onto full screen
                    "spaces", "active", "switch B none->3", "spaces", "active", "switch A 2->1"}));
  EXPECT_EQ(engine.lastDesktopID(), sid(a[1]));
  EXPECT_EQ(engine.currentSpaceIDForDisplay("A"), sid(a[0]));
  ASSERT_FALSE(w.log.lines.empty());
  EXPECT_EQ(w.log.lines.back().rfind("hotkey [raw] status=0: " + std::to_string(a[1]) + " → " +
                                         std::to_string(a[0]) +
                                         " 'Desktop 1' now=" + std::to_string(a[0]) + " after 50ms",
                                     0),
            0u);
}

TEST(SpaceEngineEndToEnd, ADisplayComingAndGoingRenumbers) {
  EngineWorld w;
  w.display("A", 2);
  auto& engine = w.makeEngine();
  w.mac.userAttachDisplay("B", ScreenRect::make(1512, 0, 2560, 1440));
  w.loop.advance(0.1);
  EXPECT_EQ(numbers(engine.desktops()), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(engine.desktopWithNumber(3)->space.displayUUID, "B");
  w.mac.userDetachDisplay("B");
  w.loop.advance(0.1);
  EXPECT_EQ(numbers(engine.desktops()), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(engine.desktopWithNumber(3)->space.displayUUID, "A");
  EXPECT_EQ(engine.displays().size(), 1u);
}

}  // namespace
}  // namespace velmora
