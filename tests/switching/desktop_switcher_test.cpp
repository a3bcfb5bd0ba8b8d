#include "switching/desktop_switcher.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "golden.h"
#include "spaces/engine_world.h"

namespace velmora {
namespace {

using platform::keys::kRightArrow;
using testing::Answer;
using testing::EngineWorld;
using Plan = DesktopSwitcher::StepPlan;

// The keys pressed so far (Control, 59, around each), each with its time after the first.
std::string presses(const EngineWorld& w) {
  std::string out;
  for (const auto& [at, key] : w.keyboard.keyDowns) {
    out += (out.empty() ? "" : " ") + std::to_string(key) + "@" +
           testing::num(at - w.keyboard.keyDowns.front().first);
  }
  return out.empty() ? "none" : out;
}

int count(const std::vector<std::string>& lines, const std::string& text) {
  return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
    return l.find(text) != std::string::npos;
  }));
}

// One display of `desktops` desktops with these shortcuts on, Mission Control installed,
// the display on desktop `current`.
std::unique_ptr<EngineWorld> world(int desktops, const std::vector<int>& shortcuts, int current = 1,
                                   bool moveRight = true) {
  auto w = std::make_unique<EngineWorld>();
  w->trusted = true;
  auto ids = w->display("Main", desktops);
  w->enableDesktopShortcuts(shortcuts, moveRight);
  w->mac.userSwitchTo(ids[static_cast<std::size_t>(current - 1)]);
  w->makeEngine();
  w->installMissionControl();
  w->loop.advance(1);
  return w;
}

// ---- Route choice and step plans ----

// One request a line: the display, the shortcuts on and the move right's, where the user is
// and where to; then the step plan, the route the request took, what its caller was told and
// the keys pressed. The direct call when native switching cannot be used (off, untrusted, no
// Mission Control); a desktop's shortcut, else steps from the nearest anchor (at most eight,
// the earlier of two equally near), else Mission Control.
TEST(DesktopSwitcherRoute, EachRequestTakesTheRouteInItsGolden) {
  struct Case {
    int desktops;
    std::vector<int> shortcuts;
    int current, target;
    bool moveRight = true;
    const char* unusable = "";  // "off", "untrusted" or "no mission control"
  };
  const std::vector<Case> cases = {{4, EngineWorld::upTo(4), 1, 3, true, "off"},
                                   {4, EngineWorld::upTo(4), 1, 3, true, "untrusted"},
                                   {4, EngineWorld::upTo(4), 1, 3, true, "no mission control"},
                                   {4, EngineWorld::upTo(4), 1, 3},
                                   {4, {1, 2, 4}, 1, 3},
                                   {12, {}, 1, 11},
                                   {4, {1}, 1, 2, false},
                                   {12, EngineWorld::upTo(10), 1, 12},
                                   {6, {1, 2, 3, 4, 6}, 2, 5},
                                   {10, {}, 1, 9},
                                   {5, {1}, 5, 3, false},
                                   {18, {8, 10}, 18, 9},
                                   {20, {1}, 20, 11},
                                   {20, EngineWorld::upTo(10), 1, 20},
                                   {5, {1}, 1, 3, false}};
  std::string out;
  for (const Case& c : cases) {
    auto w = world(c.desktops, c.shortcuts, c.current, c.moveRight);
    out += std::to_string(c.desktops) + " desktops, shortcuts";
    for (int n : c.shortcuts) out += " " + std::to_string(n);
    out += std::string(c.moveRight ? "" : ", no move right") + (*c.unusable ? ", " : "") +
           c.unusable + ", " + std::to_string(c.current) + " to " + std::to_string(c.target) + ": ";
    if (std::string_view(c.unusable) == "off") w->options.setNativeSwitching(false);
    if (std::string_view(c.unusable) == "untrusted") w->trusted = false;
    if (std::string_view(c.unusable) == "no mission control") {
      w->switcher->setPressInMissionControl(nullptr);
    }
    auto plan = w->switcher->planSteps(*w->engine->desktopWithNumber(c.target));
    auto answer = w->request(c.target);
    w->loop.advance(10);
    out += "plan " +
           (plan ? (plan->anchor ? "⌃" + std::to_string(*plan->anchor) : "here") + " then " +
                       std::to_string(plan->steps)
                 : std::string("none")) +
           "; " + w->switcher->lastNote() + "; " + answer->told() + "; presses " + presses(*w) +
           "\n";
  }
  EXPECT_TRUE(testing::matchesGolden("switching/routes.txt", out));
}

TEST(DesktopSwitcherRoute, ADesktopOnTheOtherDisplayIsPressedInMissionControl) {
  EngineWorld w;
  w.trusted = true;
  w.display("Main", 2);
  auto side = w.display("Side", 2, 1512);
  w.enableDesktopShortcuts(EngineWorld::upTo(4));
  w.makeEngine();
  w.installMissionControl();
  auto answer = w.request(4);
  w.loop.advance(2);
  EXPECT_EQ(answer->told(), "landed after 0.25");  // the slide after the press
  EXPECT_EQ(w.switcher->lastNote(), "hotkey [mission control] pressed=true took=0ms");
  EXPECT_EQ(w.mac.currentSpace("Side"), side[1]);
  EXPECT_TRUE(w.keyboard.keyDowns.empty());
}

TEST(DesktopSwitcherStepPlan, FullScreenSpacesAreStepsToo) {
  EngineWorld w;
  w.display("Main", 1);
  w.mac.addSpace("Main", sim::kSpaceTypeFullScreen);
  w.mac.addSpace("Main");
  w.makeEngine();
  EXPECT_EQ(w.switcher->planSteps(*w.engine->desktopWithNumber(2)), (Plan{std::nullopt, 2}));
}

TEST(DesktopSwitcherStep, TheTwelfthDesktopIsTwoMovesPastTheTenth) {
  auto w = world(12, EngineWorld::upTo(10));
  auto ids = w->mac.display("Main")->spaces;
  auto answer = w->request(12);
  w->loop.advance(0.1);
  // Desktops 10 and 11 are only passed through.
  EXPECT_EQ(w->engine->transitSpaceIDs(),
            (std::set<SpaceID>{SpaceID(ids[9].id), SpaceID(ids[10].id)}));
  w->loop.advance(3);
  EXPECT_EQ(answer->told(), "landed after 0.75");
  EXPECT_EQ(presses(*w), "59@0 29@0 59@0.25 124@0.25 59@0.31 124@0.31");
  EXPECT_EQ(w->log.lines.back(),
            "hotkey [⌃0 on the way to 'Desktop 12'] [⌃→ ×2]: 10 → 12 'Desktop 12' now=12 after "
            "500ms");
  // Only the landing is announced as a switch, and jump back still leads to where the user was.
  EXPECT_EQ(w->takeEvents(), (std::vector<std::string>{"spaces", "spaces", "spaces", "active",
                                                       "switch Main 11->12"}));
  EXPECT_EQ(w->engine->lastDesktopID(), SpaceID(ids[0].id));
  EXPECT_TRUE(w->engine->transitSpaceIDs().empty());
}

TEST(DesktopSwitcherStep, ThreeMovesArePressedSixtyMillisecondsApart) {
  auto w = world(6, {1, 2, 3, 4, 6}, 2);
  auto ids = w->mac.display("Main")->spaces;
  auto answer = w->request(5);
  w->loop.advance(2);
  EXPECT_EQ(presses(*w), "59@0 124@0 59@0.06 124@0.06 59@0.12 124@0.12");
  EXPECT_EQ(answer->told(), "landed after 0.75");  // three slides, queued by the Dock
  EXPECT_EQ(w->switcher->lastNote(), "hotkey [⌃→ ×3]");
  EXPECT_EQ(count(w->takeEvents(), "active"), 1);
  EXPECT_EQ(w->engine->lastDesktopID(), SpaceID(ids[1].id));
}

TEST(DesktopSwitcherStep, ThreeMovesGetTwoPointEightSecondsBeforeMissionControl) {
  auto w = world(6, {1, 2, 3, 4, 6}, 2);
  w->mac.dock().setSwitchAnimation(100);
  w->request(5);
  w->loop.advance(2.79);
  EXPECT_TRUE(w->log.lines.empty());
  w->loop.advance(0.01);
  ASSERT_EQ(w->log.lines.size(), 1u);
  EXPECT_EQ(w->log.lines[0], "hotkey [⌃→ ×3]: 2 → 5 'Desktop 5' now=2 after 2800ms");
  EXPECT_EQ(w->missionControlPresses, 1);
}

TEST(DesktopSwitcherStep, AnAnchorThatIsNotReachedHandsOverToMissionControl) {
  auto w = world(12, {});
  w->enableDesktopShortcuts(EngineWorld::upTo(10), true, false);  // the Dock has not reread
  auto answer = w->request(12);
  w->loop.advance(5);
  EXPECT_EQ(answer->told(), "landed after 2.30");
  EXPECT_EQ(w->log.lines.front(),
            "hotkey [⌃0 on the way to 'Desktop 12']: 1 → 12 'Desktop 12' now=1 after 2000ms");
  EXPECT_EQ(w->switcher->lastNote(),
            "hotkey [⌃0 on the way to 'Desktop 12'] fallback [mission control] pressed=true "
            "took=0ms");
  EXPECT_TRUE(w->keyboard.downs(kRightArrow).empty());
  EXPECT_EQ(w->takeEvents(), (std::vector<std::string>{"spaces", "active", "switch Main 1->12"}));
  EXPECT_TRUE(w->engine->transitSpaceIDs().empty());
}

// ---- One switch at a time ----

TEST(DesktopSwitcherRequests, TheCurrentDesktopAnswersAtOnceAndLogsNothing) {
  auto w = world(4, EngineWorld::upTo(4));
  auto answer = w->request(1);
  EXPECT_EQ(answer->told(), "landed after 0.00");
  EXPECT_TRUE(w->log.lines.empty());
  EXPECT_EQ(w->switcher->generation(), 0u);
  EXPECT_TRUE(w->keyboard.keyDowns.empty());
}

TEST(DesktopSwitcherRequests, AskingAgainJoinsTheSwitchOnItsWay) {
  auto w = world(4, EngineWorld::upTo(4));
  auto first = w->request(3);
  w->loop.advance(0.1);
  auto second = w->request(3, "menu");
  EXPECT_EQ(w->switcher->inFlight(),
            (DesktopSwitcher::InFlight{w->engine->desktopWithNumber(3)->id(), 1}));
  w->loop.advance(2);
  EXPECT_EQ(first->told(), "landed after 0.25");
  EXPECT_EQ(second->told(), "landed after 0.15");
  EXPECT_EQ(w->log.lines,
            (std::vector<std::string>{"menu: already on the way to 'Desktop 3'",
                                      "hotkey [⌃3]: 1 → 3 'Desktop 3' now=3 after 250ms"}));
  EXPECT_EQ(w->keyboard.downs(testing::digitKey(3)).size(), 1u);
}

TEST(DesktopSwitcherRequests, ALaterRequestSupersedesTheOneOnItsWay) {
  auto w = world(4, EngineWorld::upTo(4));
  auto a = w->request(3);
  w->loop.advance(0.02);
  auto b = w->request(4, "menu");
  w->loop.advance(3);
  EXPECT_EQ(a->told(), "missed after 0.05");
  EXPECT_EQ(b->told(), "landed after 0.50");
  EXPECT_EQ(w->log.lines.front(), "hotkey [⌃3]: → 'Desktop 3' superseded by a later switch");
  EXPECT_EQ(w->log.lines.back(), "menu [⌃4]: 1 → 4 'Desktop 4' now=4 after 500ms");
  EXPECT_EQ(w->switcher->generation(), 2u);
  EXPECT_FALSE(w->switcher->inFlight());
}

TEST(DesktopSwitcherRequests, LandingWhereASupersededRunOfMovesPassesIsAnnounced) {
  auto w = world(6, {1, 2, 3, 4, 6}, 2);
  w->request(5);
  w->loop.advance(0.01);
  auto three = w->request(3, "menu");
  w->loop.advance(0.3);
  EXPECT_EQ(three->told(), "landed after 0.25");
  EXPECT_EQ(w->takeEvents(), (std::vector<std::string>{"spaces", "active", "switch Main 2->3"}));
}

TEST(DesktopSwitcherRequests, AMissedShortcutFallsBackToMissionControlThenTheDirectCall) {
  auto w = world(4, {}, 1);
  // The preferences say ⌃3 is on, but the Dock has not reread them.
  w->enableDesktopShortcuts(EngineWorld::upTo(4), true, false);
  w->installMissionControl(false);
  auto answer = w->request(3);
  w->loop.advance(5);
  EXPECT_EQ(answer->told(), "landed after 3.55");
  EXPECT_EQ(w->log.lines,
            (std::vector<std::string>{
                "hotkey [⌃3]: 1 → 3 'Desktop 3' now=1 after 2000ms",
                "hotkey [⌃3] fallback [mission control] pressed=false took=0ms: 1 → 3 'Desktop 3' "
                "now=1 after 1500ms",
                "hotkey [⌃3] fallback [mission control] pressed=false took=0ms raw [raw] status=0: "
                "1 → 3 'Desktop 3' now=3 after 50ms"}));
}

TEST(DesktopSwitcherRequests, APressInMissionControlThatMissesIsTheEnd) {
  auto w = world(12, {});
  w->switcher->setPressInMissionControl([](int, std::function<void(bool)> done) { done(true); });
  auto answer = w->request(11);
  w->loop.advance(5);
  EXPECT_EQ(answer->told(), "missed after 1.50");
  EXPECT_EQ(w->mac.callCount("SLSManagedDisplaySetCurrentSpace"), 0);
  EXPECT_EQ(w->log.lines.size(), 1u);
}

// ---- The direct call ----

class DesktopSwitcherDirect : public ::testing::Test {
 protected:
  void SetUp() override { w->options.setNativeSwitching(false); }
  int calls() const { return w->mac.callCount("SLSManagedDisplaySetCurrentSpace"); }
  std::unique_ptr<EngineWorld> w = world(4, {});
};

TEST_F(DesktopSwitcherDirect, LandsWithoutAWorkspaceNotification) {
  w->mac.setDirectSwitchPostsNotification(false);
  auto answer = w->request(3);
  w->loop.advance(1);
  EXPECT_EQ(answer->told(), "landed after 0.05");
  EXPECT_EQ(w->takeEvents(), (std::vector<std::string>{"spaces", "active", "switch Main 1->3"}));
  EXPECT_EQ(w->log.lines.back(), "hotkey [raw] status=0: 1 → 3 'Desktop 3' now=3 after 50ms");
}

TEST_F(DesktopSwitcherDirect, AnIgnoredCallIsRepeatedExactlyOnce) {
  w->mac.failSetCurrentSpace(1000);
  auto answer = w->request(3);
  w->loop.advance(5);
  EXPECT_EQ(answer->told(), "missed after 1.60");  // two deadlines
  EXPECT_EQ(calls(), 2);
  EXPECT_EQ(w->log.lines,
            (std::vector<std::string>{
                "hotkey [raw] status=1000: 1 → 3 'Desktop 3' now=1 after 800ms",
                "re-asserted switch to 'Desktop 3'",
                "hotkey [raw] status=1000 [raw again]: 1 → 3 'Desktop 3' now=1 after 800ms"}));
}

TEST_F(DesktopSwitcherDirect, TheRepeatedCallCanLand) {
  w->mac.failSetCurrentSpace(1000);
  auto answer = w->request(3);
  w->loop.advance(0.5);
  w->mac.failSetCurrentSpace(0);
  w->loop.advance(2);
  EXPECT_EQ(answer->told(), "landed after 0.85");
  EXPECT_EQ(w->switcher->lastNote(), "hotkey [raw] status=1000 [raw again]");
}

TEST_F(DesktopSwitcherDirect, NoRepeatOnceTheUserMovedOnOrTheTargetIsGone) {
  w->mac.failSetCurrentSpace(1000);
  auto moved = w->request(3);
  w->loop.advance(0.3);
  w->userSwitch(w->engine->desktopWithNumber(2)->id().raw(), 2);
  EXPECT_EQ(moved->told(), "missed after 0.80");

  auto gone = w->request(4);
  w->loop.advance(0.3);
  w->mac.userRemoveSpace(w->engine->desktopWithNumber(4)->id().raw());
  w->loop.advance(2);
  EXPECT_EQ(gone->told(), "missed after 0.80");
  EXPECT_EQ(calls(), 2);
  EXPECT_EQ(count(w->log.lines, "re-asserted"), 0);
  EXPECT_FALSE(w->switcher->inFlight());
}

// ---- Lifetime and load ----

TEST(DesktopSwitcherLifetime, CallersOfADestroyedSwitcherHearNotLanded) {
  auto w = world(12, {});
  std::function<void(bool)> late;
  w->switcher->setPressInMissionControl(
      [&](int, std::function<void(bool)> done) { late = std::move(done); });
  auto answer = w->request(11);
  w->switcher.reset();
  w->engine.reset();
  EXPECT_TRUE(answer->results.empty());  // not from inside the teardown
  w->loop.advance(0.01);
  EXPECT_EQ(answer->results, std::vector<bool>{false});
  late(true);
  w->loop.advance(3);
  EXPECT_EQ(answer->results, std::vector<bool>{false});
}

TEST(DesktopSwitcherLifetime, ABurstOfRequestsLeavesNothingBehind) {
  auto w = world(12, EngineWorld::upTo(10));
  w->mac.dock().setSwitchAnimation(0.02);
  std::size_t idle = w->loop.pendingCount();
  const int targets[] = {3, 12, 5, 11, 7};
  std::vector<std::shared_ptr<Answer>> answers;
  for (int i = 0; i < 50; ++i) {
    answers.push_back(w->request(targets[i % 5]));
    w->loop.advance(0.002);
  }
  w->loop.advance(30);
  for (const auto& answer : answers) EXPECT_EQ(answer->results.size(), 1u);
  // Presses of superseded switches still run their course; the engine ends agreeing with
  // the machine.
  EXPECT_EQ(w->engine->currentSpaceIDForDisplay("Main"), SpaceID(w->mac.currentSpace("Main")));
  EXPECT_FALSE(w->switcher->inFlight());
  EXPECT_TRUE(w->engine->transitSpaceIDs().empty());
  EXPECT_EQ(w->loop.pendingCount(), idle);
}

// ---- The road of one press ----

TEST(DesktopSwitcherRoad, OnePressLandsAnnouncesOnceAndLogsOnce) {
  auto w = world(3, EngineWorld::upTo(3));
  double t0 = w->loop.now();
  auto answer = w->request(2);
  w->loop.advance(0.001);
  const auto& delivered = w->mac.keyboard().deliveries();
  ASSERT_FALSE(delivered.empty());
  EXPECT_EQ(delivered.back().event.keyCode, testing::digitKey(2));
  EXPECT_EQ(delivered.back().receiver, "system shortcut");
  w->loop.advance(0.24);  // the Dock is still sliding
  EXPECT_TRUE(w->events.empty());
  EXPECT_TRUE(answer->results.empty());
  w->loop.advance(1);
  EXPECT_EQ(w->takeEvents(), (std::vector<std::string>{"spaces", "active", "switch Main 1->2"}));
  EXPECT_EQ(answer->results, std::vector<bool>{true});
  EXPECT_NEAR(answer->at - t0, 0.25, 1e-9);
  EXPECT_EQ(w->log.lines,
            std::vector<std::string>{"hotkey [⌃2]: 1 → 2 'Desktop 2' now=2 after 250ms"});
  EXPECT_EQ(w->engine->lastDesktopID(), w->engine->desktopWithNumber(1)->id());
}

}  // namespace
}  // namespace velmora
