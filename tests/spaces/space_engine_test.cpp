#include <gtest/gtest.h>

#include "engine_world.h"

namespace velmora {
namespace {

using ::velmora::testing::EngineWorld;
using ::velmora::testing::sid;

// ---- Numbering ----

TEST(SpaceEngineNumbering, CountsAcrossDisplaysAndSkipsFullScreenSpaces) {
  EngineWorld w;
  auto a = w.display("A", 2);
  auto b = w.display("B", 1, 1512);
  std::uint64_t fs = w.mac.addSpace("B", sim::kSpaceTypeFullScreen);
  std::uint64_t b2 = w.mac.addSpace("B");
  w.mac.addSpace("A", sim::kSpaceTypeFullScreen);  // trailing full screen on the first display
  auto& engine = w.makeEngine(false);

  // Creation reads quietly: nothing was announced.
  EXPECT_EQ(w.story(), " | 1 2 3 4 | now 1 last -");
  const auto& desktops = engine.desktops();
  EXPECT_EQ(desktops[0].id(), sid(a[0]));
  EXPECT_EQ(desktops[2].id(), sid(b[0]));
  EXPECT_EQ(engine.desktopWithNumber(4)->id(), sid(b2));
  EXPECT_FALSE(engine.desktopWithID(sid(fs)));
  EXPECT_FALSE(engine.desktopWithNumber(5));
  EXPECT_EQ(engine.desktopsOnDisplay("B").front().number, 3);
  EXPECT_EQ(engine.desktopsOnDisplay("B").size(), 2u);
  EXPECT_TRUE(desktops[2].isCurrent && !desktops[3].isCurrent);
}

// A desktop removed renumbers the ones after it; a display plugged in numbers on from the
// last, and unplugged, its desktops join the main display.
TEST(SpaceEngineNumbering, RemovingADesktopOrADisplayRenumbers) {
  EngineWorld w;
  auto a = w.display("A", 4);
  auto& engine = w.makeEngine();
  w.mac.userRemoveSpace(a[1]);
  w.loop.advance(1.5);
  EXPECT_EQ(w.story(), "spaces | 1 2 3 | now 1 last -");
  EXPECT_EQ(engine.desktopWithNumber(2)->id(), sid(a[2]));
  EXPECT_EQ(engine.desktopWithNumber(3)->space.managedID, testing::mid(a[3]));
  w.mac.userAttachDisplay("B", ScreenRect::make(1512, 0, 2560, 1440));
  w.loop.advance(0.1);
  EXPECT_EQ(engine.desktopWithNumber(4)->space.displayUUID, "B");
  w.mac.userDetachDisplay("B");
  w.loop.advance(0.1);
  EXPECT_EQ(w.story(), "spaces, active, switch B none->4, spaces | 1 2 3 4 | now 1 last -");
  EXPECT_EQ(engine.desktopWithNumber(4)->space.displayUUID, "A");
  EXPECT_EQ(engine.displays().size(), 1u);
}

// ---- Switches and what is announced ----

TEST(SpaceEngineSwitches, ASwitchIsAnnouncedOnceAndRememberedUntilItsDesktopGoes) {
  EngineWorld w;
  auto a = w.display("A", 3);
  w.mac.userSwitchTo(a[1]);
  auto& engine = w.makeEngine();
  w.mac.userSwitchTo(a[2]);
  w.loop.runPending();
  EXPECT_EQ(w.story(), "spaces, active, switch A 2->3 | 1 2 3 | now 3 last 2");
  EXPECT_EQ(engine.lastDesktopID(), sid(a[1]));
  // The trailing refresh and later sweeps see nothing new.
  w.loop.advance(5);
  EXPECT_TRUE(w.events.empty());
  // The current desktop goes: the one before it becomes current, announced from nowhere, and
  // jump back, which remembered it, no longer leads anywhere.
  w.mac.userRemoveSpace(a[2]);
  w.loop.advance(0.1);
  EXPECT_EQ(w.story(), "spaces, active, switch A none->2 | 1 2 | now 2 last -");
}

TEST(SpaceEngineSwitches, DesktopsPassedThroughAreNeverAnnouncedOrRemembered) {
  EngineWorld w;
  auto a = w.display("A", 4);
  auto& engine = w.makeEngine();
  engine.setTransitSpaceIDs({sid(a[1]), sid(a[2])});
  for (int i = 1; i < 4; ++i) w.userSwitch(a[static_cast<std::size_t>(i)]);
  EXPECT_EQ(w.story(), "spaces, spaces, spaces, active, switch A 3->4 | 1 2 3 4 | now 4 last 1");

  // A transit desktop is not announced even as the final landing.
  engine.setTransitSpaceIDs({sid(a[0])});
  w.userSwitch(a[0]);
  EXPECT_EQ(w.story(), "spaces | 1 2 3 4 | now 1 last 4");
}

// Full screen and back to the same desktop: the layout changes with no landing to announce
// and no desktop current; coming back is announced from nowhere, and jump back then leads to
// the desktop before, never to the one the user is on.
TEST(SpaceEngineSwitches, FullScreenAndBackIsAnnouncedFromNowhereAndJumpBackLeadsAway) {
  EngineWorld w;
  auto a = w.display("A", 2);
  platform::pid_t app = w.mac.addApplication({.name = "Keynote"});
  std::int64_t win = w.mac.addWindow(app, {a[1]}, AXRect::make(0, 30, 800, 600));
  auto& engine = w.makeEngine();
  w.userSwitch(a[1]);
  w.takeEvents();
  std::uint64_t fs = w.mac.userEnterFullScreen(win);
  w.loop.advance(0.1);
  EXPECT_EQ(w.story(), "spaces | 1 2 | now - last 2");
  EXPECT_EQ(engine.currentSpaceIDForDisplay("A"), sid(fs));
  w.userSwitch(a[1]);
  EXPECT_EQ(w.story(), "spaces, active, switch A none->2 | 1 2 | now 2 last 1");
  engine.jumpBack();
  w.loop.advance(1);
  EXPECT_EQ(w.mac.currentSpace("A"), a[0]);
}

TEST(SpaceEngineSwitches, ClickingIntoAnotherDisplayChangesTheUsersDesktop) {
  EngineWorld w;
  w.display("A", 2);
  w.display("B", 1, 1512);
  w.settings.idle = 60;
  auto& engine = w.makeEngine();
  w.mac.userInput(platform::kEventMouseMoved);
  w.loop.advance(1.5);
  w.mac.setActiveMenuBarDisplay("B");
  w.loop.advance(1.5);  // no notification for a click: the sweep notices
  EXPECT_EQ(w.story(), "active | 1 2 3 | now 3 last -");
  // The time up to the sweep that noticed belongs to the desktop left on display A.
  EXPECT_DOUBLE_EQ(w.ledger.seconds(testing::mid(engine.desktopWithNumber(1)->id().raw())), 3);
  w.loop.advance(1.5);
  EXPECT_TRUE(w.events.empty());
}

TEST(SpaceEngineSwitches, OneRefreshReportsEachDisplaysSwitchAndAQuietOneNone) {
  EngineWorld w;
  auto a = w.display("A", 2);
  auto b = w.display("B", 2, 1512);
  auto& engine = w.makeEngine(false);
  w.mac.windowServer().managedDisplaySetCurrentSpace(0, "A", a[1]);
  engine.refresh(true);  // quiet: recorded, no landing announced
  EXPECT_EQ(w.story(), "spaces | 1 2 3 4 | now 2 last 1");
  w.mac.windowServer().managedDisplaySetCurrentSpace(0, "A", a[0]);
  w.mac.windowServer().managedDisplaySetCurrentSpace(0, "B", b[1]);
  engine.refresh(false);
  EXPECT_EQ(w.story(), "spaces, active, switch A 2->1, switch B 3->4 | 1 2 3 4 | now 1 last 3");
}

// ---- Coalescing and bad answers ----

TEST(SpaceEngineRefresh, ABurstOfNotificationsCausesOneRefreshNowAndOneTrailing) {
  EngineWorld w;
  w.display("A", 2);
  auto& engine = w.makeEngine();
  int before = w.layoutReads();
  auto reads = [&] {
    return std::to_string(w.layoutReads() - before) + (engine.refreshPending() ? " pending" : "");
  };
  engine.environmentChanged();
  w.loop.advance(0.005);
  engine.environmentChanged();
  w.loop.advance(0.005);
  engine.environmentChanged();
  EXPECT_EQ(reads(), "1 pending");
  w.loop.advance(0.019);  // 29 ms after the first
  EXPECT_EQ(reads(), "1 pending");
  w.loop.advance(0.002);
  EXPECT_EQ(reads(), "2");
  engine.environmentChanged();  // a new burst starts a new pair
  EXPECT_EQ(reads(), "3 pending");
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
    EXPECT_EQ(w.story(), " | 1 2 3 | now 1 last -");
  }
  w.mac.overrideManagedDisplaySpaces(std::nullopt);
  w.loop.advance(1.5);
  EXPECT_EQ(w.story(), "spaces, active, switch A 1->3 | 1 2 3 | now 3 last 1");
}

TEST(SpaceEngineRefresh, TheSweepNoticesChangesNobodyAnnounced) {
  EngineWorld w;
  w.display("A", 1);
  w.makeEngine();
  w.mac.userAddDesktop("A");  // Mission Control's "+" posts no workspace notification
  w.loop.advance(1.4);
  EXPECT_EQ(w.story(), " | 1 | now 1 last -");
  w.loop.advance(0.2);
  EXPECT_EQ(w.story(), "spaces | 1 2 | now 1 last -");
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
  for (auto [by, landing] : {std::pair{1, 0}, {-1, 2}, {-4, 1}}) {
    engine.step(by);
    w.loop.advance(1);
    EXPECT_EQ(w.mac.currentSpace("A"), a[static_cast<std::size_t>(landing)]) << by;
  }
  EXPECT_EQ(w.mac.currentSpace("B"), b[0]);  // never crosses to the other display
  EXPECT_TRUE(w.log.lines.back().starts_with("step [raw] status=0: "));
}

TEST(SpaceEngineMoving, JumpBackReturnsToThePreviousDesktopOnlyWhileItExists) {
  EngineWorld w;
  auto a = w.display("A", 3);
  auto& engine = w.makeEngine();
  w.userSwitch(a[2]);
  engine.jumpBack();
  w.loop.advance(1);
  EXPECT_EQ(w.story(),
            "spaces, active, switch A 1->3, spaces, active, switch A 3->1 | 1 2 3 | now 1 last 3");

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
  w.display("A", 3);
  w.makeEngine();
  auto first = w.request(2, "test"), second = w.request(3, "test");
  w.loop.advance(1);
  EXPECT_EQ(first->told() + " / " + second->told(), "missed after 0.05 / landed after 0.05");
  EXPECT_EQ(w.log.lines.front(), "test [raw] status=0: → 'Desktop 2' superseded by a later switch");

  w.mac.failSetCurrentSpace(1011);
  auto third = w.request(1, "link");
  w.loop.advance(0.79);
  EXPECT_EQ(third->told(), "nothing yet");  // still polling until the 0.8 s deadline
  w.loop.advance(0.1);
  EXPECT_EQ(third->told(), "nothing yet");  // the call is made once more, with its own deadline
  w.loop.advance(0.8);
  EXPECT_EQ(third->told(), "missed after 1.60");
  EXPECT_TRUE(w.log.lines.back().starts_with("link [raw] status=1011 [raw again]: "));
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
  EXPECT_FALSE(engine.moveFrontWindow(
      w.mac.workspace().runningApplication(sim::VirtualMac::kSelfPID), target, false));
  EXPECT_EQ(w.mac.callCount("SLSMoveWindowsToManagedSpace"), 0);

  w.mac.setAccessibilityTrusted(true);
  EXPECT_TRUE(engine.moveFrontWindow(w.mac.workspace().runningApplication(notes), target, true));
  EXPECT_EQ(w.mac.window(win)->spaces, std::vector<std::uint64_t>{a[1]});
  w.loop.advance(1);
  EXPECT_EQ(w.mac.currentSpace("A"), a[1]);
  EXPECT_EQ(w.mac.frontmostPID(), notes);
  EXPECT_EQ(w.log.lines.back(), "brought Notes to the front: accessibility=ok activate=accepted");

  // The application quits before the landing: said in the log, nothing brought forward.
  w.mac.addWindow(notes, {a[1]}, AXRect::make(0, 30, 600, 400));
  EXPECT_TRUE(engine.moveFrontWindow(w.mac.workspace().runningApplication(notes),
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
  for (std::uint64_t space : {a[1], b[1], fs, b[0]}) w.userSwitch(space, 0.5);
  auto back = w.request(1);
  w.loop.advance(1);

  EXPECT_EQ(back->told(), "landed after 0.05");
  EXPECT_EQ(w.story(),
            "spaces, active, switch A 1->2, spaces, active, switch B 3->4, spaces, spaces, active, "
            "switch B none->3, spaces, active, switch A 2->1 | 1 2 3 4 | now 3 last 2");
  EXPECT_EQ(engine.currentSpaceIDForDisplay("A"), sid(a[0]));
  const std::string one = std::to_string(a[0]), two = std::to_string(a[1]);
  EXPECT_TRUE(w.log.lines.back().starts_with("hotkey [raw] status=0: " + two + " → " + one +
                                             " 'Desktop 1' now=" + one + " after 50ms"));
}

}  // namespace
}  // namespace velmora
