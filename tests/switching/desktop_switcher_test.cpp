#include "switching/desktop_switcher.h"

#include <gtest/gtest.h>

#include "golden.h"
#include "spaces/engine_world.h"

namespace velmora {
namespace {

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

// One display of `desktops` desktops (and a second of `side` desktops) with these shortcuts
// on, Mission Control installed, the display on desktop `current`.
std::unique_ptr<EngineWorld> world(int desktops, const std::vector<int>& shortcuts, int current = 1,
                                   bool moveRight = true, int side = 0) {
  auto w = std::make_unique<EngineWorld>();
  w->trusted = true;
  auto ids = w->display("Main", desktops);
  if (side) w->display("Side", side, 1512);
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

TEST(DesktopSwitcherStepPlan, FullScreenSpacesAreStepsToo) {
  EngineWorld w;
  w.display("Main", 1);
  w.mac.addSpace("Main", sim::kSpaceTypeFullScreen);
  w.mac.addSpace("Main");
  w.makeEngine();
  EXPECT_EQ(w.switcher->planSteps(*w.engine->desktopWithNumber(2)), (Plan{std::nullopt, 2}));
}

// ---- Requests, one story each ----

// What happened in a world after `act`: what each caller was told and when, the log, what
// was announced, the keys pressed, then where the switcher and the engine stand.
std::string story(EngineWorld& w, const std::function<void(EngineWorld&)>& act) {
  const int calls = w.mac.callCount("SLSManagedDisplaySetCurrentSpace");
  act(w);
  std::string out = "  told:";
  for (const auto& answer : w.answers) out += " " + answer->told() + ";";
  for (const std::string& line : w.log.lines) out += "\n  log: " + line;
  out += "\n  announced:";
  for (const std::string& e : w.takeEvents()) out += " " + e;
  const auto last = w.engine->lastDesktop();
  return out + "\n  presses: " + presses(w) + "\n  then: attempt " +
         std::to_string(w.switcher->generation()) + (w.switcher->inFlight() ? ", in flight" : "") +
         (w.engine->transitSpaceIDs().empty() ? "" : ", in transit") + ", last " +
         (last ? std::to_string(last->number) : "none") + ", direct calls " +
         std::to_string(w.mac.callCount("SLSManagedDisplaySetCurrentSpace") - calls) +
         ", Mission Control presses " + std::to_string(w.missionControlPresses) + "\n";
}

// The routes' stories: steps past the tenth desktop (10 and 11 only passed through), three
// moves 60 ms apart, three moves given 2.8 s before Mission Control, an anchor the Dock does
// not know, the current desktop answering at once, asking again while on the way, a later
// request superseding one, landing where a superseded run of moves passes, a missed shortcut
// falling back to Mission Control and then the direct call, a press in Mission Control that
// misses, and a desktop on another display, pressed in Mission Control.
TEST(DesktopSwitcherRequests, EachStoryAsItsGolden) {
  std::string out;
  auto run = [&](const char* name, std::unique_ptr<EngineWorld> w,
                 const std::function<void(EngineWorld&)>& act) {
    out += std::string("== ") + name + "\n" + story(*w, act);
  };
  run("12 desktops, ⌃1-⌃0: to 12", world(12, EngineWorld::upTo(10)), [](EngineWorld& w) {
    w.request(12);
    w.loop.advance(0.1);
    EXPECT_EQ(w.engine->transitSpaceIDs().size(), 2u);
    w.loop.advance(3);
  });
  run("6 desktops, no ⌃5: 2 to 5", world(6, {1, 2, 3, 4, 6}, 2), [](EngineWorld& w) {
    w.request(5);
    w.loop.advance(2);
  });
  run("the same, with a 100 s slide", world(6, {1, 2, 3, 4, 6}, 2), [](EngineWorld& w) {
    w.mac.dock().setSwitchAnimation(100);
    w.request(5);
    w.loop.advance(2.79);
    EXPECT_TRUE(w.log.lines.empty());
    w.loop.advance(0.01);
  });
  run("⌃0 the Dock has not read: to 12", world(12, {}), [](EngineWorld& w) {
    w.enableDesktopShortcuts(EngineWorld::upTo(10), true, false);
    w.request(12);
    w.loop.advance(5);
  });
  run("to the current desktop", world(4, EngineWorld::upTo(4)),
      [](EngineWorld& w) { w.request(1); });
  run("asked again on the way", world(4, EngineWorld::upTo(4)), [](EngineWorld& w) {
    w.request(3);
    w.loop.advance(0.1);
    w.request(3, "menu");
    EXPECT_EQ(w.switcher->inFlight(),
              (DesktopSwitcher::InFlight{w.engine->desktopWithNumber(3)->id(), 1}));
    w.loop.advance(2);
  });
  run("a later request", world(4, EngineWorld::upTo(4)), [](EngineWorld& w) {
    w.request(3);
    w.loop.advance(0.02);
    w.request(4, "menu");
    w.loop.advance(3);
  });
  run("to 3 while moves pass it", world(6, {1, 2, 3, 4, 6}, 2), [](EngineWorld& w) {
    w.request(5);
    w.loop.advance(0.01);
    w.request(3, "menu");
    w.loop.advance(0.3);
  });
  run("⌃3 the Dock has not read, Mission Control cannot press", world(4, {}), [](EngineWorld& w) {
    w.enableDesktopShortcuts(EngineWorld::upTo(4), true, false);
    w.installMissionControl(false);
    w.request(3);
    w.loop.advance(5);
  });
  run("a press in Mission Control that misses", world(12, {}), [](EngineWorld& w) {
    w.switcher->setPressInMissionControl([](int, std::function<void(bool)> done) { done(true); });
    w.request(11);
    w.loop.advance(5);
  });
  run("a desktop on the other display", world(2, EngineWorld::upTo(4), 1, true, 2),
      [](EngineWorld& w) {
        w.request(4);
        w.loop.advance(2);
      });
  EXPECT_TRUE(testing::matchesGolden("switching/request_stories.txt", out));
}

// The direct call's stories: landing without a workspace notification, an ignored call made
// once more (and landing the second time), and no repeat once the user moved on or the
// target is gone.
TEST(DesktopSwitcherDirect, EachStoryAsItsGolden) {
  std::string out;
  auto run = [&](const char* name, const std::function<void(EngineWorld&)>& act) {
    auto w = world(4, {});
    w->options.setNativeSwitching(false);
    out += std::string("== ") + name + "\n" + story(*w, act);
  };
  run("no workspace notification", [](EngineWorld& w) {
    w.mac.setDirectSwitchPostsNotification(false);
    w.request(3);
    w.loop.advance(1);
  });
  run("ignored", [](EngineWorld& w) {
    w.mac.failSetCurrentSpace(1000);
    w.request(3);
    w.loop.advance(5);
  });
  run("ignored once", [](EngineWorld& w) {
    w.mac.failSetCurrentSpace(1000);
    w.request(3);
    w.loop.advance(0.5);
    w.mac.failSetCurrentSpace(0);
    w.loop.advance(2);
  });
  run("ignored, the user moves on, the target goes", [](EngineWorld& w) {
    w.mac.failSetCurrentSpace(1000);
    w.request(3);
    w.loop.advance(0.3);
    w.userSwitch(w.engine->desktopWithNumber(2)->id().raw(), 2);
    w.request(4);
    w.loop.advance(0.3);
    w.mac.userRemoveSpace(w.engine->desktopWithNumber(4)->id().raw());
    w.loop.advance(2);
  });
  EXPECT_TRUE(testing::matchesGolden("switching/direct_stories.txt", out));
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
