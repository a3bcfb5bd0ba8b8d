#include "platform/sim/virtual_window_server.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "golden.h"
#include "platform/sim/machine_text.h"
#include "platform/sim/two_displays.h"

namespace velmora::sim {
namespace {

using platform::kWindowIsOnscreen;
using platform::kWindowNumber;

class WindowServerTest : public testing::TwoDisplays {
 protected:
  // Each listed window by what it is, front to back: furniture by its layer, others by title.
  std::string listed(std::uint32_t options) {
    std::string out;
    Value list = server.windowListCopyWindowInfo(options, 0);
    for (const Value& entry : *list.asArray()) {
      auto layer = entry.find(platform::kWindowLayer)->asInt32();
      std::int64_t number = *entry.find(kWindowNumber)->asInteger();
      out += " " + (layer == kLayerMainMenu  ? "menu bar"
                    : layer == kLayerDock    ? "dock"
                    : layer == kLayerDesktop ? "desktop"
                                             : mac.window(number)->title);
    }
    return out;
  }
  std::vector<std::int64_t> windowsOn(const Value& spaces) {
    std::uint64_t set = 0, clear = 0;
    Value answer =
        server.copyWindowsWithOptionsAndTags(server.mainConnectionID(), 0, spaces, 2, set, clear);
    std::vector<std::int64_t> out;
    if (const auto* list = answer.asArray()) {
      for (const auto& n : *list) out.push_back(*n.asInteger());
    } else {
      out.push_back(-1);  // null
    }
    return out;
  }
};

// The layout and window-list answers as the window server gives them, one a line, each after
// a change: the layout with display A's full-screen space and current space, then after a
// switch and a desktop added on B; the window list for each set of options (all, on screen,
// without desktop elements, both), front to back, then one entry whole and one of an
// application without a name, then after a switch and after Notes quits.
TEST_F(WindowServerTest, AnswersFollowChangesAsTheirGolden) {
  std::string out = describe(server.copyManagedDisplaySpaces(0)) + "\n";
  ASSERT_EQ(server.managedDisplaySetCurrentSpace(0, "A", a[1]), 0);
  mac.userAddDesktop("B");
  out += describe(server.copyManagedDisplaySpaces(0)) + "\n";
  EXPECT_EQ(mac.callCount("SLSCopyManagedDisplaySpaces"), 2);

  platform::pid_t unnamed = mac.addApplication({});
  mac.addSystemFurniture();
  mac.addWindow(notes, {a[0]}, AXRect::make(20, 40, 800, 600), kLayerNormal, "here");
  mac.addWindow(unnamed, {a[1]}, AXRect::make(20, 40, 800, 600), kLayerNormal, "elsewhere");
  mac.addWindow(notes, {}, AXRect::make(1.5, 2.5, 300, 60), kLayerNormal, "everywhere");
  mac.userSwitchTo(a[0]);
  auto lists = [&](const std::string& when) {
    for (std::uint32_t options : {0, 1, 16, 17}) {
      out += when + ", options " + std::to_string(options) + ":" + listed(options) + "\n";
    }
  };
  lists("three windows");
  Value list = server.windowListCopyWindowInfo(0, 0);
  out += describe((*list.asArray())[2]) + "\n" + describe((*list.asArray())[3]) + "\n";
  mac.userSwitchTo(a[1]);
  lists("on a[1]");
  mac.quitApplication(notes);
  lists("Notes quit");
  EXPECT_TRUE(velmora::testing::matchesGolden("platform/window_server_answers.txt", out));

  // Answers a test makes up stand until taken back.
  mac.overrideManagedDisplaySpaces(Value("garbage"));
  EXPECT_EQ(server.copyManagedDisplaySpaces(0), Value("garbage"));
  mac.overrideManagedDisplaySpaces(std::nullopt);
  EXPECT_EQ(server.copyManagedDisplaySpaces(0).asArray()->size(), 2u);
  mac.overrideWindowList(Value(nullptr));
  EXPECT_TRUE(server.windowListCopyWindowInfo(1, 0).isNull());
}

TEST_F(WindowServerTest, WindowsOfASpaceAndMovingThem) {
  std::int64_t one = mac.addWindow(notes, {a[0]}, AXRect::make(0, 40, 400, 300));
  std::int64_t two = mac.addWindow(notes, {a[1]}, AXRect::make(0, 40, 400, 300));
  std::int64_t three = mac.addWindow(notes, {a[0]}, AXRect::make(0, 40, 400, 300));
  mac.addWindow(notes, {}, AXRect::make(0, 40, 400, 300));  // every space: never per space

  EXPECT_EQ(windowsOn(Value::array({a[0]})), (std::vector<std::int64_t>{three, one}));
  EXPECT_EQ(windowsOn(Value::array({a[1]})), (std::vector<std::int64_t>{two}));
  EXPECT_EQ(windowsOn(Value::array({b[0]})), (std::vector<std::int64_t>{}));
  EXPECT_EQ(windowsOn(Value::array({std::uint64_t{999}})), (std::vector<std::int64_t>{-1}));
  EXPECT_EQ(windowsOn(Value(a[0])), (std::vector<std::int64_t>{-1}));

  server.moveWindowsToManagedSpace(0, Value::array({one, std::int64_t{12345}}), b[1]);
  server.moveWindowsToManagedSpace(0, Value::array({three}), 999);  // unknown space: nothing
  EXPECT_EQ(windowsOn(Value::array({a[0]})), (std::vector<std::int64_t>{three}));
  EXPECT_EQ(mac.window(one)->spaces, (std::vector<std::uint64_t>{b[1]}));
  EXPECT_EQ(mac.callCount("SLSMoveWindowsToManagedSpace"), 2);
}

TEST_F(WindowServerTest, SettingTheCurrentSpaceAnnouncesOnTheNextTurn) {
  EXPECT_EQ(server.managedDisplaySetCurrentSpace(0, "A", a[2]), 0);
  EXPECT_EQ(mac.currentSpace("A"), a[2]);
  EXPECT_TRUE(events.empty());  // never inside the call
  loop.runPending();
  EXPECT_EQ(events, std::vector<std::string>{"active"});

  EXPECT_EQ(server.managedDisplaySetCurrentSpace(0, "Nope", a[0]), 1000);
  EXPECT_EQ(server.managedDisplaySetCurrentSpace(0, "B", a[0]), 1000);  // not B's space
  mac.failSetCurrentSpace(1011);
  EXPECT_EQ(server.managedDisplaySetCurrentSpace(0, "A", a[0]), 1011);
  EXPECT_EQ(mac.currentSpace("A"), a[2]);
  mac.failSetCurrentSpace(0);
  mac.setDirectSwitchPostsNotification(false);
  EXPECT_EQ(server.managedDisplaySetCurrentSpace(0, "B", b[1]), 0);
  EXPECT_EQ(mac.currentSpace("B"), b[1]);
  loop.runPending();
  EXPECT_EQ(events.size(), 1u);
  EXPECT_EQ(mac.callCount("SLSManagedDisplaySetCurrentSpace"), 5);
  // A direct switch leaves the menu bar where the user last clicked.
  EXPECT_EQ(*server.copyActiveMenuBarDisplayIdentifier(0).asString(), "A");
}

TEST_F(WindowServerTest, IgnoredSwitchCallsAnswerSuccessButLeaveTheDisplayUntilStopped) {
  server.ignoreSwitchCalls(1);
  EXPECT_EQ(server.managedDisplaySetCurrentSpace(0, "A", a[1]), 0);
  EXPECT_EQ(mac.currentSpace("A"), a[0]);
  EXPECT_EQ(server.managedDisplaySetCurrentSpace(0, "A", a[1]), 0);
  EXPECT_EQ(mac.currentSpace("A"), a[1]) << "only the next call was ignored";

  server.ignoreSwitchCalls(std::nullopt);
  for (std::uint64_t to : {a[0], a[2], a[0]}) {
    EXPECT_EQ(server.managedDisplaySetCurrentSpace(0, "A", to), 0);
  }
  EXPECT_EQ(server.managedDisplaySetCurrentSpace(0, "Nope", a[0]), 1000) << "still checked";
  EXPECT_EQ(mac.currentSpace("A"), a[1]);
  server.ignoreSwitchCalls(0);
  EXPECT_EQ(server.managedDisplaySetCurrentSpace(0, "A", a[2]), 0);
  EXPECT_EQ(mac.currentSpace("A"), a[2]);
  loop.runPending();
  EXPECT_EQ(events, (std::vector<std::string>{"active", "active"}));
}

// What the user does to spaces, the machine after each step: switching moves the active menu
// bar to that display; full screen makes a space right after the window's, moves the window
// there filling the display and shows it at once, Notes in front; removing the current space
// sends its windows to the first desktop and shows the one before it; the last desktop
// stays; a detached display's spaces join the main display, its windows moved onto it, and
// the screens are announced before the active space. Notifications come on the next turn.
TEST_F(WindowServerTest, UserSpaceOperationsAsTheirGolden) {
  std::string out;
  auto step = [&](const std::string& what) {
    out += "== " + what + " (heard:";
    for (const std::string& e : std::exchange(events, {})) out += " " + e;
    out += ")\n" + testing::machineText(mac);
    loop.runPending();
    out += "then heard:";
    for (const std::string& e : std::exchange(events, {})) out += " " + e;
    out += "\n";
  };
  mac.userSwitchTo(b[1]);
  step("switch to b[1]");
  std::int64_t win = mac.addWindow(notes, {a[1]}, AXRect::make(0, 40, 800, 600));
  mac.addWindow(notes, {a[1]}, AXRect::make(0, 40, 800, 600));
  mac.userEnterFullScreen(win);
  step("the front window on a[1] goes full screen");
  mac.addWindow(notes, {a[1]}, AXRect::make(0, 40, 800, 600));
  mac.userSwitchTo(a[1]);
  mac.userRemoveSpace(a[1]);
  step("a[1] removed while current");
  mac.userRemoveSpace(a[0]);
  step("the last desktop removed");
  mac.addWindow(notes, {b[1]}, AXRect::make(1600, 100, 800, 600));
  mac.userSwitchTo(b[1]);
  loop.runPending();
  events.clear();
  mac.userDetachDisplay("B");
  step("B detached while on b[1]");
  EXPECT_TRUE(workspace.displayUUIDString(2).isNull());
  EXPECT_TRUE(velmora::testing::matchesGolden("platform/user_space_operations.txt", out));
}

}  // namespace
}  // namespace velmora::sim
