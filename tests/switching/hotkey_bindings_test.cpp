#include "switching/hotkey_bindings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "spaces/engine_world.h"

namespace velmora {
namespace {

using namespace platform::keys;

std::uint16_t digit(int n) {
  return kDigits[static_cast<std::size_t>(n)];
}

constexpr std::uint64_t kCtrlOpt = platform::kEventFlagControl | platform::kEventFlagOption;
constexpr std::uint64_t kCtrlOptShift = kCtrlOpt | platform::kEventFlagShift;

class HotkeyBindingsTest : public ::testing::Test {
 protected:
  // Four desktops on one display, and a running engine, before the bindings are made.
  std::vector<std::uint64_t> makeWorld() {
    auto made = w.display("A", 4);
    w.makeEngine();
    return made;
  }

  std::vector<std::string> registered() {
    std::vector<std::string> out;
    for (const auto& r : w.mac.hotKeys().registered()) {
      out.push_back(w.names.display(Hotkey{r.keyCode, r.modifiers}));
    }
    return out;
  }
  // A press, and long enough for a switch to land.
  void press(std::uint16_t keyCode, std::uint64_t flags) {
    w.mac.keyboard().userPress(keyCode, flags);
    w.loop.advance(0.2);
  }
  int current() { return w.engine->currentDesktop()->number; }

  testing::EngineWorld w;
  std::vector<std::uint64_t> ids = makeWorld();
  HotkeyCenter center{w.mac.hotKeys(), w.systemLog, w.names};
  int switcherOpened = 0;
  std::vector<std::string> toasts;
  HotkeyBindings bindings{
      center,
      *w.engine,
      w.options,
      w.store,
      w.names,
      w.mac,
      [this](const Desktop& d) { return w.presentation.title(d); },
      {[this] { ++switcherOpened; },
       [this](const std::string& text, const std::string& symbol, double seconds) {
         toasts.push_back(text + " / " + symbol + " / " + std::to_string(seconds).substr(0, 3));
       }}};
};

TEST_F(HotkeyBindingsTest, AFreshInstallRegistersTheDefaultsAndEachDoesItsJob) {
  bindings.rebind();
  std::vector<std::string> expected{"⌃⌥Space", "⌃⌥⇥", "⌃⌥→", "⌃⌥←", "⌃⌥P"};
  for (std::string digit : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"}) {
    expected.push_back("⌃⌥" + digit);
    expected.push_back("⌃⌥⇧" + digit);
  }
  EXPECT_EQ(registered(), expected);
  EXPECT_EQ(bindings.signature(), "|⌃⌥Space|⌃⌥⇥|⌃⌥→|⌃⌥←|⌃⌥P|true|6144|true");

  press(kLeftArrow, kCtrlOpt);  // ⌃⌥← wraps from the first desktop to the last
  EXPECT_EQ(current(), 4);
  press(kRightArrow, kCtrlOpt);
  EXPECT_EQ(current(), 1);
  press(digit(3), kCtrlOpt);  // ⌃⌥3
  EXPECT_EQ(current(), 3);
  EXPECT_EQ(w.log.lines.back().rfind("hotkey [raw]", 0), 0u) << w.log.lines.back();
  press(kTab, kCtrlOpt);  // ⌃⌥⇥
  EXPECT_EQ(current(), 1);
  press(digit(5), kCtrlOpt);  // ⌃⌥5: no such desktop yet, found when one exists
  EXPECT_EQ(current(), 1);
  w.mac.userAddDesktop("A");
  w.loop.advance(2);
  press(digit(5), kCtrlOpt);
  EXPECT_EQ(current(), 5);

  press(kSpace, kCtrlOpt);
  EXPECT_EQ(switcherOpened, 1);
  press(kP, kCtrlOpt);
  EXPECT_TRUE(w.options.presenting());
}

TEST_F(HotkeyBindingsTest, ADesktopsOwnShortcutWinsOverTheNumberShortcut) {
  w.store.update(testing::mid(ids[3]), [](SpaceMeta& m) {
    m.hotkey = Hotkey{digit(3), platform::kControlKey | platform::kOptionKey};
  });  // ⌃⌥3 on desktop 4
  bindings.rebind();
  std::vector<std::string> now = registered();
  EXPECT_EQ(now[5], "⌃⌥3");  // right after the five fixed shortcuts, and only there
  EXPECT_EQ(std::count(now.begin(), now.end(), "⌃⌥3"), 1);
  EXPECT_EQ(std::count(now.begin(), now.end(), "⌃⌥⇧3"), 1);
  EXPECT_TRUE(w.systemLog.lines.empty());
  press(digit(3), kCtrlOpt);
  EXPECT_EQ(current(), 4);
  EXPECT_EQ(w.log.lines.back().rfind("space hotkey [raw]", 0), 0u) << w.log.lines.back();

  // It follows its desktop when the numbers move.
  press(digit(1), kCtrlOpt);
  w.mac.userRemoveSpace(ids[1]);
  w.loop.advance(0.1);
  press(digit(3), kCtrlOpt);
  EXPECT_EQ(w.engine->currentDesktop()->id(), testing::sid(ids[3]));
}

TEST_F(HotkeyBindingsTest, RebindingTouchesTheSystemOnlyWhenSomethingChanged) {
  bindings.rebind();
  bindings.rebind();
  EXPECT_EQ(w.mac.hotKeys().registrationCount(), 25);

  w.options.setNextHotkey(std::nullopt);
  w.options.setDirectJumpModifiers(platform::kOptionKey);
  w.options.setMoveWindowEnabled(false);
  bindings.rebind();
  EXPECT_EQ(bindings.signature(), "|⌃⌥Space|⌃⌥⇥|none|⌃⌥←|⌃⌥P|true|2048|false");
  std::vector<std::string> now = registered();
  ASSERT_EQ(now.size(), 14u);
  EXPECT_EQ(now[4], "⌥1");

  w.options.setDirectJumpEnabled(false);
  w.store.update(testing::mid(ids[1]), [](SpaceMeta& m) {
    m.hotkey = Hotkey{5, platform::kCmdKey};
  });
  bindings.rebind();
  EXPECT_EQ(registered(), (std::vector<std::string>{"⌃⌥Space", "⌃⌥⇥", "⌃⌥←", "⌃⌥P", "⌘G"}));
}

TEST_F(HotkeyBindingsTest, ACombinationTakenElsewhereIsLoggedAndTheRestStillWork) {
  w.mac.hotKeys().holdByAnotherApplication(digit(2), platform::kControlKey | platform::kOptionKey);
  bindings.rebind();
  EXPECT_EQ(w.systemLog.lines,
            std::vector<std::string>{"Velmora: could not register hotkey ⌃⌥2 (status -9878)"});
  press(digit(2), kCtrlOpt);
  EXPECT_EQ(current(), 1);
  press(digit(4), kCtrlOpt);
  EXPECT_EQ(current(), 4);
}

TEST_F(HotkeyBindingsTest, MovingTheFrontWindowSaysWhereItWentUnlessItFollows) {
  platform::pid_t notes = w.mac.addApplication({.name = "Notes"});
  std::int64_t window = w.mac.addWindow(notes, {ids[0]}, AXRect::make(0, 30, 600, 400));
  w.mac.userActivate(notes);
  w.store.update(testing::mid(ids[1]), [](SpaceMeta& m) { m.name = "Work"; });
  bindings.rebind();

  press(digit(0), kCtrlOptShift);  // ⌃⌥⇧0: there is no desktop 10
  press(digit(2), kCtrlOptShift);  // ⌃⌥⇧2
  EXPECT_EQ(w.mac.window(window)->spaces, std::vector<std::uint64_t>{ids[1]});
  EXPECT_EQ(current(), 1);
  EXPECT_EQ(toasts,
            std::vector<std::string>{"Moved Notes to Work / arrow.right.doc.on.clipboard / 1.4"});

  platform::pid_t nameless = w.mac.addApplication({});
  w.mac.addWindow(nameless, {ids[0]}, AXRect::make(0, 30, 600, 400));
  w.mac.userActivate(nameless);
  w.options.setPresenting(true);
  press(digit(2), kCtrlOptShift);
  EXPECT_EQ(toasts.back(), "Moved window to Desktop 2 / arrow.right.doc.on.clipboard / 1.4");

  w.options.setMoveFollow(true);
  w.mac.setAccessibilityTrusted(true);
  w.mac.userActivate(notes);
  w.userSwitch(ids[1]);
  press(digit(3), kCtrlOptShift);
  w.loop.advance(1);
  EXPECT_EQ(w.mac.window(window)->spaces, std::vector<std::uint64_t>{ids[2]});
  EXPECT_EQ(current(), 3);
  EXPECT_EQ(toasts.size(), 2u);
}

}  // namespace
}  // namespace velmora
