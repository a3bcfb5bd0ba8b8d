#include "platform/sim/virtual_dock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/virtual_loop.h"
#include "golden.h"
#include "platform/key_codes.h"
#include "platform/sim/virtual_mac.h"

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
  // Where the displays stand: each one's current space, the active menu bar, when the
  // active-space notifications since the last look were heard, who took the last key and
  // whether a slide is on.
  std::string where() {
    auto name = [&](std::uint64_t id) {
      auto onA = std::ranges::find(a, id);
      return onA != a.end() ? "a" + std::to_string(onA - a.begin())
                            : "b" + std::to_string(std::ranges::find(b, id) - b.begin());
    };
    std::string out = "A " + name(mac.currentSpace("A")) + ", B " + name(mac.currentSpace("B")) +
                      ", menu bar " + mac.activeMenuBarDisplay() + ", heard";
    for (double t : std::exchange(heard, {})) out += " " + testing::num(t);
    const auto& keys = mac.keyboard().deliveries();
    if (!keys.empty())
      out += ", key " + std::to_string(keys.size()) + " to " + keys.back().receiver;
    return out + (mac.dock().switching() ? ", sliding" : "") +
           (mac.dock().missionControlOpen() ? ", Mission Control open" : "");
  }

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
  const std::map<int, VirtualDock::Shortcut> defaults{
      {32, {platform::keys::kUpArrow, kControl}},  // Mission Control
      {79, {kLeft, kControl}},
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

  loadShortcuts({{"32", entry(false, {})}, {"79", entry(false, {})}, {"81", on(2, 0x100000)}});
  EXPECT_EQ(mac.dock().shortcuts(),
            (std::map<int, VirtualDock::Shortcut>{{81, {2, platform::kEventFlagCommand}}}))
      << "a move turned off is gone; one on uses its own keys";
}

// ---- Switching and moving ----

// One step a line, with where the displays stand after it: ⌃4 is display B's first desktop
// (the full-screen space has no number) and lands after the 0.25 s slide; ⌃3 lands past the
// full-screen space; ⌃0 and ⌃1 are the Dock's though they go nowhere; a shortcut turned off,
// or pressed with other modifiers, reaches Notes, while non-modifier bits do not matter;
// moves queue, pass through the full-screen space, stop at the end and count from where the
// one before landed; they follow the active menu bar and stay at the first space; a
// thumbnail switches only while Mission Control is open; the slide takes what the world asks.
TEST_F(VirtualDockTest, SwitchesAndMovesAsTheirGolden) {
  loadShortcuts({{"118", on(18)},
                 {"119", entry(false, Value::array({65535, 19, 262144}))},
                 {"120", on(20)},
                 {"121", on(21)},
                 {"127", on(29)}});
  std::string out;
  // The keys pressed (with Control unless other flags are given), then time passes.
  auto step = [&](const char* what, double seconds, std::vector<std::uint16_t> keys = {},
                  std::uint64_t flags = kControl) {
    for (std::uint16_t key : keys) press(key, flags);
    loop.advance(seconds);
    out += std::string(what) + ": " + where() + "\n";
  };
  step("⌃4, 0.24 s", 0.24, {21});
  step("0.01 s on", 0.01);
  step("⌃3, 0.25 s", 0.25, {20});
  step("⌃0, 1 s", 1, {29});
  step("⌃2 is off, 1 s", 1, {19});
  step("⌃⇧2, 1 s", 1, {19}, kControl | platform::kEventFlagShift);
  step("⌃1 on the numeric pad, 1 s", 1, {18}, kControl | platform::kEventFlagNumericPad);
  step("⌃1 again, 1 s", 1, {18});
  step("⌃← from the first space, 1 s", 1, {kLeft});
  step("five ⌃→, 0.25 s", 0.25, {kRight, kRight, kRight, kRight, kRight});
  step("0.25 s on", 0.25);
  step("0.25 s more", 0.25);
  step("0.25 s past the end", 0.25);
  step("two ⌃←, 0.5 s", 0.5, {kLeft, kLeft});
  mac.setActiveMenuBarDisplay("B");
  step("menu bar on B, ⌃→, 0.25 s", 0.25, {kRight});
  mac.dock().pressThumbnail(b[0]);
  step("b0's thumbnail, Mission Control closed", 0);
  mac.dock().openMissionControl();
  mac.dock().pressThumbnail(999);
  step("Mission Control, an unknown thumbnail", 0);
  mac.dock().pressThumbnail(b[0]);
  step("b0's thumbnail, 0.2 s", 0.2);
  step("0.05 s on", 0.05);
  mac.dock().setSwitchAnimation(1.0);
  step("a 1 s slide, ⌃→, 0.9 s", 0.9, {kRight});
  step("0.1 s on", 0.1);
  EXPECT_TRUE(testing::matchesGolden("platform/dock_switches.txt", out));
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

}  // namespace
}  // namespace velmora::sim
