#include "switching/hotkey_bindings.h"

#include <gtest/gtest.h>

#include "app/velmora_run.h"
#include "golden.h"

namespace velmora {
namespace {

// The defaults, a desktop's own shortcut and a combination another application holds are
// tests/cli/hotkeys_*.velmora, on the same world: four desktops without the grant.
const std::string kWorld = R"({"accessibilityTrusted": false,
    "displays": [{"uuid": "A", "spaces": ["desktop", "desktop", "desktop", "desktop"]}],
    "apps": [{"name": "Notes", "windows": [{"space": "0:0"}]}]})";

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
