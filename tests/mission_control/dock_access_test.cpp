#include "mission_control/dock_access.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "golden.h"
#include "mission_control_world.h"

namespace velmora {
namespace {

using testing::describeRows;
using testing::McWorld;
using testing::SimAXNode;

struct DockAccessTest : ::testing::Test, McWorld {
  std::string observerLine(platform::pid_t pid) {
    return "Dock observer installed for pid " + std::to_string(pid) +
           ": AXCreated AXUIElementDestroyed AXSelectedChildrenChanged AXFocusedUIElementChanged";
  }
  int reads() const {
    return mac.callCount("AXUIElementCopyAttributeValue") +
           mac.callCount("AXUIElementCopyMultipleAttributeValues");
  }
};

// The first read walks the tree; later ones read only the remembered lists, and see their
// changes, until Mission Control closes and the lists go stale. Then it walks again.
TEST_F(DockAccessTest, WalksOnceThenReadsTheCachedListsUntilMissionControlCloses) {
  EXPECT_EQ(describeRows(dock.rows()), "(none)\n") << "closed: no mc root";
  openMissionControl({{1, 0, {"Desktop 1", "Desktop 2"}}, {2, 1512, {"Desktop 3"}}});
  std::string walked = describeRows(dock.rows());
  EXPECT_EQ(walked,
            "display 1 bar 0,0 1500x130: [Desktop 1 #1 10,8 160x100] [Desktop 2 #2 180,8 160x100]\n"
            "display 2 bar 1512,0 1500x130: [Desktop 3 #3 1522,8 160x100]\n");
  EXPECT_EQ(dock.cachedBarCount(), 2u);

  int before = reads();
  EXPECT_EQ(describeRows(dock.rows()), walked);
  // Per list: its children and its frame, then one read per child (the desktops and a "+").
  EXPECT_EQ(reads() - before, (2 + 3) + (2 + 2));

  mac.editAccessibilityTree(dockPID(), [](SimAXNode& root) {
    auto* list = root.children.back()->children[1]->children[0]->children[0].get();
    list->children.erase(list->children.begin());  // a desktop removed in Mission Control
  });
  EXPECT_EQ(describeRows(dock.rows()),
            "display 1 bar 0,0 1500x130: [Desktop 1 #1 10,8 160x100] [Desktop 2 #2 180,8 160x100]\n"
            "display 2 bar 1512,0 1500x130:\n");

  closeMissionControl();
  EXPECT_EQ(describeRows(dock.rows()), "(none)\n");
  EXPECT_EQ(dock.cachedBarCount(), 0u);
  openMissionControl({{1, 0, {"Desktop 1"}}});
  EXPECT_EQ(describeRows(dock.rows()), "display 1 bar 0,0 1500x130: [Desktop 1 #1 10,8 160x100]\n");

  auto items = dock.rows().front().items;
  EXPECT_TRUE(dock.press(items.front()));
  loop.runPending();
  EXPECT_EQ(pressed, std::vector<std::string>{"Desktop 1"});
  closeMissionControl();
  EXPECT_FALSE(dock.press(items.front())) << "the thumbnail is gone";
}

// The observer follows the Dock: a restart mid-way drops the old observer and bars and logs
// the new one; without the grant nothing is observed until it is given.
TEST_F(DockAccessTest, ObserverFollowsTheDockThroughARestartAndTheGrant) {
  std::vector<std::string> heard;
  dock.setHandler([&](const std::string& name) { heard.push_back(name); });
  platform::pid_t first = dockPID();
  EXPECT_EQ(log.lines, std::vector<std::string>{observerLine(first)});
  openMissionControl({{1, 0, {"Desktop 1"}}});
  ASSERT_EQ(dock.rows().size(), 1u);

  mac.dock().restart();
  platform::pid_t second = dockPID();
  ASSERT_NE(first, second);
  EXPECT_EQ(describeRows(dock.rows()), "(none)\n") << "the new Dock shows no Mission Control";
  EXPECT_EQ(dock.pid(), second);
  EXPECT_EQ(dock.cachedBarCount(), 0u);
  EXPECT_EQ(log.lines, (std::vector<std::string>{observerLine(first), observerLine(second)}));
  buildTree(second, {{2, 0, {"Desktop 4"}}});
  EXPECT_EQ(describeRows(dock.rows()), "display 2 bar 0,0 1500x130: [Desktop 4 #4 10,8 160x100]\n");
  mac.postAccessibilityNotification(mac.accessibilityNode(dock.ensureApplication()), "AXCreated");
  loop.runPending();
  EXPECT_EQ(heard, std::vector<std::string>{"AXCreated"});

  // Without the grant: the element, but no observer and nothing read.
  McWorld untrusted;
  untrusted.mac.setAccessibilityTrusted(false);
  untrusted.openMissionControl({{1, 0, {"Desktop 1"}}});
  EXPECT_NE(untrusted.dock.ensureApplication(), nullptr);
  EXPECT_FALSE(untrusted.dock.hasObserver());
  EXPECT_EQ(describeRows(untrusted.dock.rows()), "(none)\n");
  untrusted.mac.setAccessibilityTrusted(true);
  EXPECT_EQ(untrusted.dock.rows().size(), 1u);
  EXPECT_TRUE(untrusted.dock.hasObserver());
  EXPECT_EQ(untrusted.log.lines, std::vector<std::string>{observerLine(untrusted.dockPID())});
}

// Each odd shape of Mission Control's tree, one a line with what was read: fewer rows or
// items, never a crash.
TEST(DockAccessShapes, AnOddTreeGivesFewerItemsNeverACrash) {
  using Edit = std::function<void(SimAXNode & mc, SimAXNode & list, SimAXNode & button)>;
  auto attr = [](int which, const char* name, Value value) -> Edit {
    return [=](SimAXNode& mc, SimAXNode& list, SimAXNode& button) {
      SimAXNode& node = which == 0 ? mc : which == 1 ? list : button;
      if (value.isNull())
        node.attributes.erase(name);
      else
        node.attributes.insert_or_assign(name, value);
    };
  };
  auto display = [](SimAXNode& mc) -> SimAXNode& { return *mc.children[0]; };
  // The bar wrapped in `levels` more groups below its display.
  auto nest = [&](int levels) -> Edit {
    return [=](SimAXNode& mc, SimAXNode&, SimAXNode&) {
      auto& slot = display(mc).children[0];
      for (int i = 0; i < levels; ++i) {
        auto outer = testing::axNode(slot->pid, "AXGroup", nullptr);
        outer->append(slot);
        slot = outer;
      }
    };
  };
  const std::vector<std::pair<std::string, Edit>> edits = {
      {"unchanged", [](SimAXNode&, SimAXNode&, SimAXNode&) {}},
      {"display without id, root has one",
       [&](SimAXNode& mc, SimAXNode&, SimAXNode&) {
         display(mc).attributes.erase("AXDisplayID");
         mc.attributes["AXDisplayID"] = 7;
       }},
      {"display without id anywhere: the main display's",
       [&](SimAXNode& mc, SimAXNode&, SimAXNode&) {
         display(mc).attributes["AXDisplayID"] = "two";
       }},
      {"description without a number", attr(2, "AXDescription", "Desktop")},
      {"no description, no title: empty", attr(2, "AXDescription", Value())},
      {"no description: the title",
       [&](SimAXNode&, SimAXNode&, SimAXNode& b) {
         b.attributes.erase("AXDescription");
         b.attributes["AXTitle"] = "Mail";
       }},
      {"a number past int", attr(2, "AXDescription", "Desktop 99999999999")},
      {"negative size", attr(2, "AXSize", testing::axSize(-160, -100))},
      {"huge size", attr(2, "AXSize", testing::axSize(1e300, 1e300))},
      {"not-a-number position", attr(2, "AXPosition", testing::axPoint(NAN, 8))},
      {"a rect for a position",
       attr(2, "AXPosition", Value::dictionary({{"X", 1}, {"Y", 1}, {"Width", 1}, {"Height", 1}}))},
      {"not a button", attr(2, "AXRole", "AXDockItem")},
      {"bar without a size", attr(1, "AXSize", Value())},
      {"list children not a list", attr(1, "AXChildren", "buttons")},
      {"spaces nested 3 deep", nest(2)},
      {"spaces nested 4 deep: not found", nest(3)},
      {"no list inside the bar: the bar itself",
       [&](SimAXNode& mc, SimAXNode& list, SimAXNode&) {
         list.attributes["AXIdentifier"] = "other";
         display(mc).children[0]->attributes["AXPosition"] = testing::axPoint(5, 5);
         display(mc).children[0]->attributes["AXSize"] = testing::axSize(50, 50);
       }},
      {"one display: the bar right under the root",
       [&](SimAXNode& mc, SimAXNode&, SimAXNode&) {
         auto spaces = display(mc).children[0];
         mc.children = {spaces};
         mc.attributes["AXDisplayID"] = 3;
       }},
      {"no display elements and no mc root",
       [&](SimAXNode& mc, SimAXNode&, SimAXNode&) {
         mc.children.clear();
         mc.attributes["AXIdentifier"] = "other";
       }},
      {"mc root without children",
       [&](SimAXNode& mc, SimAXNode&, SimAXNode&) { mc.children.clear(); }},
  };
  std::string out;
  for (const auto& entry : edits) {
    const auto& edit = entry.second;
    McWorld world;
    world.openMissionControl({{2, 0, {"Desktop 2"}}});
    world.mac.editAccessibilityTree(world.dockPID(), [&](SimAXNode& root) {
      SimAXNode& mc = *root.children.back();
      SimAXNode& list = *mc.children[0]->children[0]->children[0];
      edit(mc, list, *list.children[0]);
    });
    out += entry.first + ":\n" + describeRows(world.dock.rows());
  }
  EXPECT_TRUE(testing::matchesGolden("mission_control/dock_access_shapes.txt", out));
}

// A Dock that stops answering, a thumbnail that vanishes while its list still names it, and
// the Dock quitting with bars cached: fewer items or nothing, never a crash.
TEST_F(DockAccessTest, TimeoutsAndAVanishingDockGiveNothing) {
  openMissionControl({{1, 0, {"Desktop 1", "Desktop 2"}}});
  ASSERT_EQ(dock.rows().size(), 1u);
  mac.failAccessibilityCalls(dockPID(), platform::kAXErrorCannotComplete);
  EXPECT_EQ(describeRows(dock.rows()), "(none)\n") << "timed out: an empty pass";
  mac.failAccessibilityCalls(dockPID(), std::nullopt);
  EXPECT_EQ(dock.rows().front().items.size(), 2u);

  mac.editAccessibilityTree(dockPID(), [](SimAXNode& root) {
    auto& list = *root.children.back()->children[0]->children[0]->children[0];
    auto gone = list.children[0];
    list.remove(gone.get());
    list.children.insert(list.children.begin(), gone);     // listed, but destroyed
    list.children.insert(list.children.begin(), nullptr);  // not an element at all
  });
  EXPECT_EQ(describeRows(dock.rows()),
            "display 1 bar 0,0 1500x130: [Desktop 2 #2 180,8 160x100]\n");

  mac.quitApplication(dockPID());
  EXPECT_EQ(describeRows(dock.rows()), "(none)\n");
  EXPECT_EQ(dock.cachedBarCount(), 0u);
}

// Label widths: the system's "Desktop N" and any text, rounded up plus the host's padding;
// the window manager's centred buttons become thumbnails inside the bar, labels above it.
TEST(DockAccessLayout, LabelWidthsAndTheWindowManagersCentredButtons) {
  McWorld dock26;
  McWorld dock27(27);
  // The plain virtual Mac measures each character as half the point size: 6 points.
  EXPECT_EQ(dock26.dock.systemLabelWidth(3), 9 * 6 + 10);
  EXPECT_EQ(dock26.dock.systemLabelWidth(12), 10 * 6 + 10);
  EXPECT_EQ(dock27.dock.systemLabelWidth(3), 9 * 6 + 24);
  EXPECT_EQ(dock27.dock.labelWidth("Mail"), 4 * 6 + 24);

  AXRect bar = AXRect::make(0, 100, 1500, 130);
  // A 200×140 thumbnail centred at 300,170: top 100, inside the bar.
  EXPECT_EQ(DockAccess::windowManagerFrame(AXRect::make(300, 170, 200, 140), bar, 80),
            AXRect::make(212.5, 110.5, 175, 109));
  // Half a point above the bar's top still counts as inside; more is a label above it.
  EXPECT_EQ(DockAccess::windowManagerFrame(AXRect::make(300, 169.5, 200, 140), bar, 80).size,
            (Size{175, 109}));
  EXPECT_EQ(DockAccess::windowManagerFrame(AXRect::make(300, 60, 100, 40), bar, 80),
            AXRect::make(260, 56, 80, 23));
  EXPECT_EQ(DockAccess::windowManagerFrame(AXRect::make(300, 170, 200, 140), std::nullopt, 80),
            AXRect::make(260, 216, 80, 23));

  // The same through a read, under the window manager's process.
  sim::SimApp windowManager;
  windowManager.name = "WindowManager";
  windowManager.bundleIdentifier = "com.apple.WindowManager";
  windowManager.policy = platform::ActivationPolicy::Prohibited;
  auto wm = dock27.mac.addApplication(windowManager);
  dock27.buildTree(wm, {{1, 0, {"Desktop 1"}}});
  EXPECT_EQ(describeRows(dock27.dock.rows()),
            "display 1 bar 0,0 1500x130: [Desktop 1 #1 -29,34 78x23]\n");
  EXPECT_EQ(dock27.log.lines.back().rfind("WindowManager observer installed for pid ", 0), 0u);
}

}  // namespace
}  // namespace velmora
