#include "platform/sim/virtual_window_server.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/sim/two_displays.h"

namespace velmora::sim {
namespace {

using platform::kWindowIsOnscreen;
using platform::kWindowNumber;

class WindowServerTest : public testing::TwoDisplays {
 protected:
  // Each listed window by what it is: furniture by its layer, others by title.
  std::vector<std::string> listed(std::uint32_t options) {
    std::vector<std::string> out;
    Value list = server.windowListCopyWindowInfo(options, 0);
    for (const Value& entry : *list.asArray()) {
      auto layer = entry.find(platform::kWindowLayer)->asInt32();
      std::int64_t number = *entry.find(kWindowNumber)->asInteger();
      out.push_back(layer == kLayerMainMenu  ? "menu bar"
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

TEST_F(WindowServerTest, LayoutAnswerHasTheWindowServerShapeAndFollowsChanges) {
  Value answer = server.copyManagedDisplaySpaces(0);
  ASSERT_EQ(answer.asArray()->size(), 2u);
  const Value& first = (*answer.asArray())[0];
  EXPECT_EQ(*first.find("Display Identifier")->asString(), "A");
  const Value::Array& spaces = *first.find("Spaces")->asArray();
  ASSERT_EQ(spaces.size(), 3u);
  for (std::size_t i = 0; i < spaces.size(); ++i) {
    EXPECT_EQ(spaces[i].find("id64")->asUInt64(), a[i]);
    EXPECT_EQ(spaces[i].find("ManagedSpaceID")->asUInt64(), a[i]);
    EXPECT_EQ(spaces[i].find("type")->kind(), Value::Kind::Integer);
    EXPECT_EQ(spaces[i].find("uuid")->asString()->size(), 36u);
  }
  EXPECT_EQ(spaces[2].find("type")->asInteger(), kSpaceTypeFullScreen);
  EXPECT_EQ(*first.find("Current Space"), spaces[0]);

  // Every read is counted, and a change is seen by the next read.
  ASSERT_EQ(server.managedDisplaySetCurrentSpace(0, "A", a[1]), 0);
  answer = server.copyManagedDisplaySpaces(0);
  EXPECT_EQ((*answer.asArray())[0].find("Current Space")->find("id64")->asUInt64(), a[1]);
  std::uint64_t added = mac.userAddDesktop("B");
  answer = server.copyManagedDisplaySpaces(0);
  EXPECT_EQ((*answer.asArray())[1].find("Spaces")->asArray()->back().find("id64")->asUInt64(),
            added);
  EXPECT_EQ(mac.callCount("SLSCopyManagedDisplaySpaces"), 3);

  mac.overrideManagedDisplaySpaces(Value("garbage"));
  EXPECT_EQ(server.copyManagedDisplaySpaces(0), Value("garbage"));
  mac.overrideManagedDisplaySpaces(std::nullopt);
  EXPECT_EQ(server.copyManagedDisplaySpaces(0).asArray()->size(), 2u);
}

TEST_F(WindowServerTest, WindowListFiltersByOptionsAndKeepsFrontToBackOrder) {
  platform::pid_t unnamed = mac.addApplication({});
  mac.addSystemFurniture();
  mac.addWindow(notes, {a[0]}, AXRect::make(20, 40, 800, 600), kLayerNormal, "here");
  mac.addWindow(unnamed, {a[1]}, AXRect::make(20, 40, 800, 600), kLayerNormal, "elsewhere");
  mac.addWindow(notes, {}, AXRect::make(1.5, 2.5, 300, 60), kLayerNormal, "everywhere");

  using V = std::vector<std::string>;
  EXPECT_EQ(listed(0), (V{"menu bar", "menu bar", "everywhere", "elsewhere", "here", "dock",
                          "desktop", "desktop"}));
  EXPECT_EQ(listed(1),
            (V{"menu bar", "menu bar", "everywhere", "here", "dock", "desktop", "desktop"}));
  EXPECT_EQ(listed(16), (V{"menu bar", "menu bar", "everywhere", "elsewhere", "here", "dock"}));
  EXPECT_EQ(listed(17), (V{"menu bar", "menu bar", "everywhere", "here", "dock"}));

  Value list = server.windowListCopyWindowInfo(0, 0);
  const Value& everywhere = (*list.asArray())[2];
  EXPECT_EQ(*everywhere.find(platform::kWindowBounds),
            Value::dictionary({{"X", 1.5}, {"Y", 2.5}, {"Width", 300.0}, {"Height", 60.0}}));
  EXPECT_EQ(everywhere.find(platform::kWindowOwnerPID)->asInteger(), notes);
  EXPECT_EQ(*everywhere.find(platform::kWindowOwnerName)->asString(), "Notes");
  EXPECT_EQ(everywhere.find(kWindowIsOnscreen)->asBool(), true);
  const Value& elsewhere = (*list.asArray())[3];
  EXPECT_EQ(elsewhere.find(platform::kWindowOwnerName), nullptr);
  EXPECT_EQ(elsewhere.find(kWindowIsOnscreen), nullptr);

  // After a switch the other window is on screen; after quitting, its app's windows are gone.
  mac.userSwitchTo(a[1]);
  EXPECT_EQ(listed(17), (V{"menu bar", "menu bar", "everywhere", "elsewhere", "dock"}));
  mac.quitApplication(notes);
  EXPECT_EQ(listed(17), (V{"menu bar", "menu bar", "elsewhere", "dock"}));
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

TEST_F(WindowServerTest, UserSpaceOperations) {
  // Switching moves the active menu bar to that display.
  mac.userSwitchTo(b[1]);
  EXPECT_EQ(*server.copyActiveMenuBarDisplayIdentifier(0).asString(), "B");

  // Full screen: a new space right after the window's, the window on it, shown at once.
  std::int64_t win = mac.addWindow(notes, {a[1]}, AXRect::make(0, 40, 800, 600));
  mac.addWindow(notes, {a[1]}, AXRect::make(0, 40, 800, 600));
  std::uint64_t fs = mac.userEnterFullScreen(win);
  const SimDisplay& main = *mac.display("A");
  ASSERT_EQ(main.spaces.size(), 4u);
  EXPECT_EQ(main.spaces[2].id, fs);
  EXPECT_EQ(main.spaces[2].type, kSpaceTypeFullScreen);
  EXPECT_EQ(main.spaces[2].fullScreenOwner, notes);
  EXPECT_EQ(mac.window(win)->spaces, std::vector<std::uint64_t>{fs});
  EXPECT_EQ(mac.window(win)->bounds, AXRect::make(0, 0, 1512, 982));
  EXPECT_EQ(mac.currentSpace("A"), fs);
  EXPECT_EQ(mac.activeMenuBarDisplay(), "A");
  EXPECT_EQ(mac.windows().front().number, win);
  EXPECT_EQ(mac.frontmostPID(), notes);

  // Removing the current space: its windows go to the first desktop, the one before is shown.
  std::int64_t onSecond = mac.addWindow(notes, {a[1]}, AXRect::make(0, 40, 800, 600));
  mac.userSwitchTo(a[1]);
  mac.userRemoveSpace(a[1]);
  EXPECT_EQ(mac.currentSpace("A"), a[0]);
  EXPECT_EQ(mac.window(onSecond)->spaces, std::vector<std::uint64_t>{a[0]});
  EXPECT_EQ(mac.space(a[1]), nullptr);
  mac.userRemoveSpace(a[0]);  // the last desktop stays
  EXPECT_NE(mac.space(a[0]), nullptr);
  loop.runPending();
  EXPECT_EQ(events, (std::vector<std::string>{"active", "active", "active", "active"}));
}

TEST_F(WindowServerTest, DetachingADisplayMovesItsSpacesToTheMainDisplay) {
  std::int64_t win = mac.addWindow(notes, {b[1]}, AXRect::make(1600, 100, 800, 600));
  mac.userSwitchTo(b[1]);
  loop.runPending();
  events.clear();
  mac.userDetachDisplay("B");
  ASSERT_EQ(mac.displays().size(), 1u);
  std::vector<std::uint64_t> ids;
  for (const auto& s : mac.displays()[0].spaces) ids.push_back(s.id);
  EXPECT_EQ(ids, (std::vector<std::uint64_t>{a[0], a[1], a[2], b[0], b[1]}));
  EXPECT_EQ(mac.currentSpace("A"), a[0]);
  EXPECT_EQ(mac.activeMenuBarDisplay(), "A");
  EXPECT_EQ(mac.window(win)->bounds, AXRect::make(88, 100, 800, 600));  // now on the main display
  EXPECT_TRUE(workspace.displayUUIDString(2).isNull());
  EXPECT_TRUE(events.empty());
  loop.runPending();
  EXPECT_EQ(events, (std::vector<std::string>{"screens", "active"}));
}

}  // namespace
}  // namespace velmora::sim
