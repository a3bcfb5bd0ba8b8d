#include "platform/sim/virtual_dock.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/virtual_loop.h"
#include "platform/key_codes.h"
#include "platform/sim/virtual_mac.h"
#include "platform/sim/world.h"

namespace velmora::sim {
namespace {

constexpr std::uint64_t kControl = platform::kEventFlagControl;
constexpr std::uint16_t kLeft = platform::keys::kLeftArrow;
constexpr std::uint16_t kRight = platform::keys::kRightArrow;
constexpr const char* kDomain = "com.apple.symbolichotkeys";
constexpr const char* kKey = "AppleSymbolicHotKeys";

Value entry(Value enabled, Value parameters) {
  return Value::dictionary(
      {{"enabled", enabled},
       {"value", Value::dictionary({{"parameters", parameters}, {"type", "standard"}})}});
}

Value on(std::int64_t keyCode, std::int64_t flags = 262144) {
  return entry(true, Value::array({65535, keyCode, flags}));
}

// Display A: desktops 1 and 2, a full-screen space, desktop 3. Display B: desktops 4 and 5.
class VirtualDockTest : public ::testing::Test {
 protected:
  VirtualDockTest() {
    mac.addDisplay("A", ScreenRect::make(0, 0, 1512, 982));
    mac.addDisplay("B", ScreenRect::make(1512, 0, 1920, 1080));
    a = {mac.currentSpace("A"), mac.addSpace("A"), mac.addSpace("A", kSpaceTypeFullScreen),
         mac.addSpace("A")};
    b = {mac.currentSpace("B"), mac.addSpace("B")};
    SimApp app;
    app.name = "Notes";
    notes = mac.addApplication(app);
    mac.userActivate(notes);
    token = mac.workspace().observeActiveSpaceChanged([this] { heard.push_back(loop.now()); });
  }

  // Stores the shortcuts and has the running Dock load them, as System Settings does.
  void loadShortcuts(Value::Dictionary entries) {
    mac.preferences().setValue(kDomain, kKey, Value(std::move(entries)));
    mac.processes().run(VirtualDock::kActivateSettings, {"-u"});
  }
  void press(std::uint16_t keyCode, std::uint64_t flags = kControl) {
    mac.keyboard().userPress(keyCode, flags);
  }
  std::string lastReceiver() { return mac.keyboard().deliveries().back().receiver; }

  VirtualLoop loop;
  VirtualMac mac{loop};
  std::vector<std::uint64_t> a, b;
  pid_t notes = 0;
  std::vector<double> heard;  // virtual times of the active-space notifications
  ObserverToken token;
};

// ---- Which shortcuts the Dock knows, and when it reads them ----

TEST_F(VirtualDockTest, ReadsTheShortcutsAtStartAndAgainOnlyWhenToldOrRestarted) {
  EXPECT_EQ(mac.dock().shortcutReads(), 1);
  EXPECT_EQ(mac.dock().pid(), VirtualMac::kDockPID);

  mac.preferences().setValue(kDomain, kKey, Value(Value::Dictionary{{"118", on(18)}}));
  EXPECT_FALSE(mac.dock().shortcuts().contains(118)) << "the file alone changes nothing";
  mac.processes().run(VirtualDock::kActivateSettings, {});
  EXPECT_EQ(mac.dock().shortcutReads(), 1) << "only -u makes it reload";

  EXPECT_EQ(mac.processes().run(VirtualDock::kActivateSettings, {"-u"}).exitStatus, 0);
  EXPECT_EQ(mac.dock().shortcutReads(), 2);
  EXPECT_EQ(mac.dock().shortcuts().at(118), (VirtualDock::Shortcut{18, kControl}));

  mac.preferences().setValue(kDomain, kKey, Value(Value::Dictionary{{"119", on(19)}}));
  mac.processes().start("/usr/bin/killall", {"Dock"});
  EXPECT_EQ(mac.dock().shortcutReads(), 2) << "a started killall acts on the next turn";
  loop.runPending();
  EXPECT_EQ(mac.dock().shortcutReads(), 3);
  EXPECT_FALSE(mac.dock().shortcuts().contains(118));
  EXPECT_TRUE(mac.dock().shortcuts().contains(119));
}

TEST_F(VirtualDockTest, AHomeThatAlreadyHoldsShortcutsBootsADockThatKnowsThem) {
  mac.preferences().setValue(kDomain, kKey, Value(Value::Dictionary{{"120", on(20)}}));
  VirtualMac again(loop, mac.home().root);
  EXPECT_TRUE(again.dock().shortcuts().contains(120));
}

TEST_F(VirtualDockTest, MissingOrMisshapenPreferencesFallBackToTheDefaultMoves) {
  const std::map<int, VirtualDock::Shortcut> defaults{{79, {kLeft, kControl}},
                                                      {81, {kRight, kControl}}};
  EXPECT_EQ(mac.dock().shortcuts(), defaults) << "no domain at all";

  mac.preferences().setValue(kDomain, kKey, Value("garbage"));
  mac.processes().run(VirtualDock::kActivateSettings, {"-u"});
  EXPECT_EQ(mac.dock().shortcuts(), defaults) << "not a dictionary";

  loadShortcuts({
      {"118", Value("on")},                                          // not a dictionary
      {"119", entry(true, Value::array({65535, "19", 262144}))},     // key code not a number
      {"120", entry(2, Value::array({65535, 20, 262144}))},          // 2 is not "on"
      {"121", Value::dictionary({{"enabled", true}})},               // no value: no default
      {"122", entry(true, Value::array({65535, 23, 0x40000 | 1}))},  // stray bit dropped
      {"123", entry(1, Value::array({65535, 22, 262144}))},
      {"79", Value::array({1, 2, 3})},                    // not a dictionary: default
      {"81", entry(true, Value::array({65535, -1, 0}))},  // unusable: default
  });
  std::map<int, VirtualDock::Shortcut> expected = defaults;
  expected[122] = {23, kControl};
  expected[123] = {22, kControl};
  EXPECT_EQ(mac.dock().shortcuts(), expected);

  loadShortcuts({{"79", entry(false, {})}, {"81", on(2, 0x100000)}});
  EXPECT_EQ(mac.dock().shortcuts(),
            (std::map<int, VirtualDock::Shortcut>{{81, {2, platform::kEventFlagCommand}}}))
      << "a move turned off is gone; one on uses its own keys";
}

// ---- Switching to desktop N ----

TEST_F(VirtualDockTest, SwitchToDesktopCountsDesktopsAcrossDisplaysAndLandsAfterTheSlide) {
  loadShortcuts({{"118", on(18)}, {"120", on(20)}, {"121", on(21)}, {"127", on(29)}});

  press(21);  // ⌃4: display B's first desktop, as the full-screen space has no number
  loop.advance(0.24);
  EXPECT_EQ(lastReceiver(), "system shortcut");
  EXPECT_TRUE(mac.dock().switching());
  EXPECT_EQ(mac.currentSpace("A"), a[0]);
  EXPECT_EQ(mac.activeMenuBarDisplay(), "A");
  EXPECT_TRUE(heard.empty());
  loop.advance(0.01);
  EXPECT_EQ(mac.currentSpace("B"), b[0]);
  EXPECT_EQ(mac.activeMenuBarDisplay(), "B");
  EXPECT_EQ(heard, std::vector<double>{0.25});

  press(20);  // ⌃3 lands past the full-screen space on A
  loop.advance(0.25);
  EXPECT_EQ(mac.currentSpace("A"), a[3]);

  press(29);  // ⌃0: there are only five desktops, but the key is still the Dock's
  loop.advance(1);
  EXPECT_EQ(lastReceiver(), "system shortcut");
  EXPECT_EQ(mac.currentSpace("A"), a[3]);
  EXPECT_EQ(heard.size(), 2u);
  EXPECT_FALSE(mac.dock().switching());
}

TEST_F(VirtualDockTest, AShortcutThatIsOffReachesTheFrontApplication) {
  loadShortcuts({{"118", on(18)}, {"119", entry(false, Value::array({65535, 19, 262144}))}});
  press(19);
  loop.advance(1);
  EXPECT_EQ(lastReceiver(), "Notes");
  EXPECT_EQ(mac.currentSpace("A"), a[0]);

  press(19, kControl | platform::kEventFlagShift);       // other modifiers: not the shortcut either
  press(18, kControl | platform::kEventFlagNumericPad);  // non-modifier bits do not matter
  loop.advance(1);
  EXPECT_EQ(mac.keyboard().deliveries()[1].receiver, "Notes");
  EXPECT_EQ(lastReceiver(), "system shortcut");
}

TEST_F(VirtualDockTest, TheSlideTakesTheTimeTheWorldAsksFor) {
  mac.dock().setSwitchAnimation(1.0);
  press(kRight);
  loop.advance(0.9);
  EXPECT_EQ(mac.currentSpace("A"), a[0]);
  loop.advance(0.1);
  EXPECT_EQ(mac.currentSpace("A"), a[1]);
}

// ---- Moving one space ----

TEST_F(VirtualDockTest, QueuedMovesRunOneAfterAnotherThroughFullScreenSpacesAndStopAtTheEnd) {
  for (int i = 0; i < 5; ++i) press(kRight);
  std::vector<std::uint64_t> seen;
  for (int step = 0; step < 4; ++step) {
    loop.advance(0.25);
    seen.push_back(mac.currentSpace("A"));
  }
  EXPECT_EQ(seen, (std::vector<std::uint64_t>{a[1], a[2], a[3], a[3]}));
  EXPECT_EQ(heard, (std::vector<double>{0.25, 0.5, 0.75}));
  EXPECT_FALSE(mac.dock().switching()) << "moves past the end go nowhere";
  EXPECT_EQ(mac.keyboard().deliveries().size(), 5u);
  EXPECT_EQ(lastReceiver(), "system shortcut");

  press(kLeft);
  press(kLeft);
  loop.advance(0.5);
  EXPECT_EQ(mac.currentSpace("A"), a[1]) << "the second move counts from where the first landed";
}

TEST_F(VirtualDockTest, AMoveLeftFromTheFirstSpaceStaysAndMovesFollowTheActiveMenuBar) {
  press(kLeft);
  loop.advance(1);
  EXPECT_EQ(mac.currentSpace("A"), a[0]);
  EXPECT_TRUE(heard.empty());

  mac.setActiveMenuBarDisplay("B");
  press(kRight);
  loop.advance(0.25);
  EXPECT_EQ(mac.currentSpace("B"), b[1]);
  EXPECT_EQ(mac.currentSpace("A"), a[0]);
}

// ---- Mission Control ----

TEST_F(VirtualDockTest, AThumbnailSwitchesOnlyWhileMissionControlIsOpen) {
  EXPECT_FALSE(mac.dock().pressThumbnail(b[1]));
  mac.dock().openMissionControl();
  EXPECT_FALSE(mac.dock().pressThumbnail(999));
  EXPECT_TRUE(mac.dock().missionControlOpen());

  EXPECT_TRUE(mac.dock().pressThumbnail(b[1]));
  EXPECT_FALSE(mac.dock().missionControlOpen());
  loop.advance(0.2);
  EXPECT_EQ(mac.currentSpace("B"), b[0]);
  loop.advance(0.05);
  EXPECT_EQ(mac.currentSpace("B"), b[1]);
  EXPECT_EQ(mac.activeMenuBarDisplay(), "B");
  EXPECT_EQ(heard, std::vector<double>{0.25});
}

// ---- Restarts ----

TEST_F(VirtualDockTest, KillallRestartsTheDockUnderANewPidWithMissionControlClosed) {
  mac.addSystemFurniture();
  mac.setDockBadge(notes, "3");
  mac.dock().openMissionControl();
  press(kRight);
  loop.advance(0.1);

  platform::ProcessResult killed = mac.processes().run("/usr/bin/killall", {"Dock"});
  EXPECT_TRUE(killed.launched);
  EXPECT_EQ(killed.exitStatus, 0);
  pid_t pid = mac.dock().pid();
  EXPECT_NE(pid, VirtualMac::kDockPID);
  EXPECT_EQ(mac.dock().restarts(), 1);
  EXPECT_FALSE(mac.dock().missionControlOpen());
  EXPECT_FALSE(mac.workspace().runningApplication(VirtualMac::kDockPID));
  ASSERT_TRUE(mac.workspace().runningApplication(pid));
  EXPECT_EQ(mac.workspace().runningApplication(pid)->bundleIdentifier, "com.apple.dock");
  int dockWindows = 0;
  for (const SimWindow& w : mac.windows()) dockWindows += w.layer == kLayerDock && w.owner == pid;
  EXPECT_EQ(dockWindows, 1);
  // The icon list comes back under the new process, badges and all.
  SimAXNodePtr root = mac.accessibilityNode(mac.accessibility().applicationElement(pid));
  ASSERT_TRUE(root && root->firstChild("AXList"));
  const auto& items = root->firstChild("AXList")->children;
  ASSERT_EQ(items.size(), 3u);  // Notes, the separator, the Trash
  EXPECT_EQ(items[0]->pid, pid);
  EXPECT_EQ(items[0]->attributes.at("AXStatusLabel"), Value("3"));
  EXPECT_FALSE(mac.accessibilityNode(mac.accessibility().applicationElement(VirtualMac::kDockPID)));
  EXPECT_TRUE(mac.setDockBadge(notes, std::nullopt));

  loop.advance(1);
  EXPECT_EQ(mac.currentSpace("A"), a[0]) << "the slide died with the old Dock";

  mac.processes().run("/usr/bin/killall", {"Dock"});
  EXPECT_NE(mac.dock().pid(), pid);
  EXPECT_EQ(mac.dock().restarts(), 2);
}

TEST_F(VirtualDockTest, ToolsThatCannotStartOrFindNothingLeaveTheDockAlone) {
  EXPECT_EQ(mac.processes().run("/usr/bin/killall", {"Finder"}).exitStatus, 1);
  mac.failLaunch("/usr/bin/killall", "The operation couldn\u2019t be completed.");
  EXPECT_FALSE(mac.processes().start("/usr/bin/killall", {"Dock"}).launched);
  mac.failLaunch(VirtualDock::kActivateSettings, "gone");
  EXPECT_FALSE(mac.processes().run(VirtualDock::kActivateSettings, {"-u"}).launched);
  loop.runPending();
  EXPECT_EQ(mac.dock().restarts(), 0);
  EXPECT_EQ(mac.dock().pid(), VirtualMac::kDockPID);
  EXPECT_EQ(mac.dock().shortcutReads(), 1);
}

// ---- Worlds ----

TEST(VirtualDockWorld, TheSlideLengthComesFromTheWorldAndIsChecked) {
  VirtualLoop loop;
  VirtualMac mac(loop);
  EXPECT_EQ(mac.dock().switchAnimation(), VirtualDock::kDefaultSwitchAnimation);
  Result<void> loaded = loadWorld(mac, R"({"displays": [{"uuid": "A", "spaces": ["desktop",
      "desktop"]}], "dock": {"switchAnimation": 0.5}})");
  ASSERT_TRUE(loaded.ok()) << loaded.error();
  EXPECT_EQ(mac.dock().switchAnimation(), 0.5);

  struct Case {
    const char* json;
    const char* error;
  };
  const Case cases[] = {
      {"{\"displays\": [{\"uuid\": \"A\"}],\n \"dock\": {\"switchAnimation\": -1}}",
       "World file line 2: \"switchAnimation\" must be zero or more seconds."},
      {"{\"displays\": [{\"uuid\": \"A\"}], \"dock\": {\"switchAnimation\": \"fast\"}}",
       "World file line 1: expected a number for \"switchAnimation\"."},
      {"{\"displays\": [{\"uuid\": \"A\"}], \"dock\": {\"animation\": 1}}",
       "unknown field \"animation\" in \"dock\"."},
      {"{\"displays\": [{\"uuid\": \"A\"}], \"dock\": 1}", "expected an object for \"dock\"."},
  };
  for (const Case& c : cases) {
    VirtualMac fresh(loop);
    Result<void> result = loadWorld(fresh, c.json);
    EXPECT_FALSE(result.ok()) << c.json;
    EXPECT_NE(result.error().find(c.error), std::string::npos) << result.error();
    EXPECT_EQ(fresh.dock().switchAnimation(), VirtualDock::kDefaultSwitchAnimation);
  }
}

}  // namespace
}  // namespace velmora::sim
