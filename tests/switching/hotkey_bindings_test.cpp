#include "switching/hotkey_bindings.h"

#include <gtest/gtest.h>

#include "app/velmora_run.h"
#include "golden.h"

namespace velmora {
namespace {

// Four desktops, untrusted (switches take the direct call), Notes in front on the first.
const std::string kWorld = R"({"accessibilityTrusted": false,
    "displays": [{"uuid": "A", "spaces": ["desktop", "desktop", "desktop", "desktop"]}],
    "apps": [{"name": "Notes", "windows": [{"space": "0:0"}]}]})";

// A fresh install registers the defaults and each does its job: ⌃⌥← wraps from the first
// desktop to the last, ⌃⌥→, ⌃⌥3, ⌃⌥⇥ jumps back, ⌃⌥5 finds nothing until a fifth desktop
// exists, ⌃⌥Space opens the switcher, ⌃⌥P presents. Options change the set: no "next", ⌥
// for the numbers, no moving windows.
TEST(HotkeyBindings, TheDefaultsEachDoTheirJobAndOptionsChangeTheSet) {
  testing::Velmora run(kWorld);
  run("launch\nprint hotkeys\npress ctrl+opt+left\nadvance 0.2\npress ctrl+opt+right\n"
      "advance 0.2\npress ctrl+opt+3\nadvance 0.2\npress ctrl+opt+tab\nadvance 0.2\n"
      "press ctrl+opt+5\nadvance 0.2\nadd desktop\nadvance 2\npress ctrl+opt+5\nadvance 0.2\n"
      "press ctrl+opt+space\nadvance 0.2\npress ctrl+opt+p\nadvance 0.2");
  const int registrations = run.mac().hotKeys().registrationCount();
  run("set presentationHotkey ctrl+opt+p\nadvance 0.1");  // the same set again: nothing redone
  EXPECT_EQ(run.mac().hotKeys().registrationCount(), registrations);
  run("set nextHotkey none\nset directJumpModifiers 2048\nset moveWindowEnabled false\n"
      "advance 0.1\nprint hotkeys\nset directJumpEnabled false\nedit 2 shortcut cmd+g\n"
      "advance 0.1\nprint hotkeys");
  EXPECT_TRUE(testing::matchesGolden("switching/hotkeys_defaults.txt", run.text()));
}

// A desktop's own shortcut wins over its number's (⌃⌥3 on desktop 4, registered right after
// the fixed ones and only once) and follows its desktop when the numbers move.
TEST(HotkeyBindings, ADesktopsOwnShortcutWinsAndFollowsItsDesktop) {
  testing::Velmora run(kWorld);
  run("edit 4 shortcut ctrl+opt+3\nedit 4 done\nadvance 0.1\nprint hotkeys\npress ctrl+opt+3\n"
      "advance 0.2\npress ctrl+opt+1\nadvance 0.2");
  EXPECT_TRUE(testing::matchesGolden("switching/hotkeys_own_shortcut.txt", run.text()));
  run("remove desktop 2\nadvance 0.1\npress ctrl+opt+3\nadvance 0.2\nprint current");
  EXPECT_NE(run.text().find("current: Desktop 3 “Desktop 3”"), std::string::npos);
}

// A combination another application holds is logged; the rest still work.
TEST(HotkeyBindings, ACombinationTakenElsewhereIsLoggedAndTheRestStillWork) {
  testing::Velmora run(kWorld);
  run.mac().hotKeys().holdByAnotherApplication(19, platform::kControlKey | platform::kOptionKey);
  run("launch\npress ctrl+opt+2\nadvance 0.2\npress ctrl+opt+4\nadvance 0.2\nprint current");
  EXPECT_TRUE(testing::matchesGolden("switching/hotkeys_taken.txt", run.text()));
}

// ⌃⌥⇧N moves the front window and says where it went (by the desktop's name, or its number
// while presenting; "window" for an application without a name) unless the window follows,
// when the switch is the answer.
TEST(HotkeyBindings, MovingTheFrontWindowSaysWhereItWentUnlessItFollows) {
  testing::Velmora run(kWorld);
  run("name 2 Work\nactivate Notes\npress ctrl+opt+shift+0\nadvance 0.2\n"
      "press ctrl+opt+shift+2\nadvance 0.2\nprint windows\nset presenting true\nadvance 0.1");
  platform::pid_t nameless = run.mac().addApplication({});
  run.mac().addWindow(nameless, {run.mac().currentSpace("A")}, AXRect::make(0, 30, 600, 400));
  run.mac().userActivate(nameless);
  run("press ctrl+opt+shift+2\nadvance 0.2\nset moveFollow true\ngrant accessibility\n"
      "switch 2\nactivate Notes\nadvance 0.1\npress ctrl+opt+shift+3\nadvance 1\n"
      "print windows\nprint current");
  EXPECT_TRUE(testing::matchesGolden("switching/hotkeys_move_window.txt", run.text()));
}

}  // namespace
}  // namespace velmora
