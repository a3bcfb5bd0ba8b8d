#include "platform/sim/virtual_mission_control.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "golden.h"
#include "platform/input_clocks.h"
#include "platform/key_codes.h"
#include "two_displays.h"

namespace velmora::sim {
namespace {

using platform::AXElementRef;

std::string rect(double x, double y, double w, double h) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%g,%g %gx%g", x, y, w, h);
  return buf;
}

double number(const Value& dict, const char* key) {
  const Value* v = dict.find(key);
  return v && v->asNumber() ? *v->asNumber() : NAN;
}

class MissionControlTest : public testing::TwoDisplays {
 protected:
  MissionControlTest() {
    mac.setAccessibilityTrusted(true);
    mac.addSystemFurniture();
  }

  VirtualMissionControl& mc = mac.missionControl();

  // The on-screen window list as a detector reads it: windows at Mission Control's layer, and
  // screen-sized windows of the host at any other layer.
  std::string windowList() {
    Value list = server.windowListCopyWindowInfo(platform::kWindowListOptionOnScreenOnly, 0);
    int atLayer = 0, screenSized = 0;
    for (const Value& w : *list.asArray()) {
      const Value* owner = w.find(platform::kWindowOwnerName);
      std::string host = mc.hostedByWindowManager() ? "WindowManager" : "Dock";
      if (!owner || owner->asString() == nullptr || *owner->asString() != host) continue;
      auto layer = w.find(platform::kWindowLayer)->asInteger();
      if (layer == mc.layer()) {
        ++atLayer;
      } else {
        const Value& bounds = *w.find(platform::kWindowBounds);
        for (const SimDisplay& d : mac.displays()) {
          screenSized += number(bounds, "Width") == d.frame.size.width &&
                         number(bounds, "Height") == d.frame.size.height;
        }
      }
    }
    return std::string(mc.isOpen() ? "open" : "closed") + " layer-windows " +
           std::to_string(atLayer) + " screen-sized " + std::to_string(screenSized);
  }

  // The host's tree under its application element, one node a line.
  std::string tree() {
    std::string out;
    SimAXNodePtr app = mac.accessibilityNode(mac.accessibility().applicationElement(mc.hostPID()));
    if (!app) return "(no application)\n";
    std::function<void(const SimAXNode&, int)> walk = [&](const SimAXNode& node, int depth) {
      std::string line(static_cast<std::size_t>(depth) * 2, ' ');
      line += node.role();
      for (const char* key : {"AXIdentifier", "AXDisplayID", "AXDescription", "AXTitle"}) {
        auto it = node.attributes.find(key);
        if (it != node.attributes.end())
          line += std::string(" ") + key + "=" + describe(it->second);
      }
      auto pos = node.attributes.find("AXPosition");
      auto size = node.attributes.find("AXSize");
      if (pos != node.attributes.end() && size != node.attributes.end()) {
        line += " " + rect(number(pos->second, "X"), number(pos->second, "Y"),
                           number(size->second, "Width"), number(size->second, "Height"));
      }
      if (node.actions.count("AXPress")) line += " [press]";
      out += line + "\n";
      for (const auto& child : node.children) {
        if (child && child->role() != "AXList" && child->role() != "AXDockItem")
          walk(*child, depth + 1);
      }
    };
    walk(*app, 0);
    return out;
  }

  // Notifications an observer of the host's application element heard, with their times.
  void observeHost() {
    auto made = mac.accessibility().createObserver(
        mc.hostPID(), [this](const AXElementRef&, const std::string& name) {
          char at[32];
          std::snprintf(at, sizeof at, "@%.3f ", loop.now());
          heard.push_back(at + name);
        });
    observer = std::move(made.observer);
    for (const char* name : {"AXCreated", "AXUIElementDestroyed", "AXSelectedChildrenChanged",
                             "AXFocusedUIElementChanged"}) {
      observer->addNotification(mac.accessibility().applicationElement(mc.hostPID()), name);
    }
  }

  std::unique_ptr<platform::AXObserver> observer;
  std::vector<std::string> heard;
};

TEST_F(MissionControlTest, EveryRouteOpensAndClosesAndTheWindowListFollows) {
  std::string out = "start: " + windowList() + "\n";
  auto step = [&](const std::string& what, auto action) {
    action();
    loop.advance(0.5);
    out += what + ": " + windowList() + "\n";
  };
  step("open", [&] { mac.openMissionControl(); });
  step("escape", [&] { mac.keyboard().userPress(platform::keys::kEscape, 0); });
  step("ctrl-up",
       [&] { mac.keyboard().userPress(platform::keys::kUpArrow, platform::kEventFlagControl); });
  step("ctrl-up",
       [&] { mac.keyboard().userPress(platform::keys::kUpArrow, platform::kEventFlagControl); });
  step("open url", [&] { mac.velmora().openURL(VirtualApplication::kMissionControlURL); });
  step("open app", [&] { mac.velmora().openApplication(VirtualApplication::kMissionControlPath); });
  step("swipe up", [&] { mac.swipe(VirtualMac::Direction::up); });
  step("swipe up", [&] { mac.swipe(VirtualMac::Direction::up); });
  step("swipe down", [&] { mac.swipe(VirtualMac::Direction::down); });
  step("escape while closed", [&] { mac.keyboard().userPress(platform::keys::kEscape, 0); });
  EXPECT_EQ(out,
            "start: closed layer-windows 0 screen-sized 2\n"
            "open: open layer-windows 2 screen-sized 2\n"
            "escape: closed layer-windows 0 screen-sized 2\n"
            "ctrl-up: open layer-windows 2 screen-sized 2\n"
            "ctrl-up: closed layer-windows 0 screen-sized 2\n"
            "open url: open layer-windows 2 screen-sized 2\n"
            "open app: closed layer-windows 0 screen-sized 2\n"
            "swipe up: open layer-windows 2 screen-sized 2\n"
            "swipe up: open layer-windows 2 screen-sized 2\n"
            "swipe down: closed layer-windows 0 screen-sized 2\n"
            "escape while closed: closed layer-windows 0 screen-sized 2\n");
  // Escape went on to the applications while there was nothing to close.
  EXPECT_NE(mac.keyboard().deliveries().back().receiver, "system shortcut");
}

TEST_F(MissionControlTest, TreeShapeNumbersDesktopsPerDisplayOnEachHost) {
  std::string out;
  for (int version : {26, 27}) {
    mac.setSystemMajorVersion(version);
    mac.openMissionControl();
    loop.advance(0.5);
    out += "macOS " + std::to_string(version) + ", collapsed\n" + tree();
    mac.movePointer(ScreenPoint{700, 970});  // the top of display A
    loop.advance(0.5);
    out += "display A expanded\n" + tree();
    mac.closeMissionControl();
    out += "closed\n" + tree();
  }
  EXPECT_TRUE(velmora::testing::matchesGolden("platform/mission_control_tree.txt", out));
  EXPECT_TRUE(mc.hostedByWindowManager());
  EXPECT_EQ(mac.application(mc.hostPID())->bundleIdentifier, "com.apple.WindowManager");
}

// On macOS 27 a reader gets the drawn thumbnail back by centring the reported size on the
// reported position and taking the margin off.
TEST_F(MissionControlTest, WindowManagerButtonsUndoToTheDrawnThumbnails) {
  mac.setSystemMajorVersion(27);
  mac.openMissionControl();
  mac.movePointer(ScreenPoint{700, 970});
  loop.advance(1);
  ASSERT_EQ(mc.root()->children.size(), 2u);
  auto bars = mc.bars();
  const SimAXNode& list = *mc.root()->children[0]->children[0]->children[0];
  for (std::size_t i = 0; i < bars[0].items.size(); ++i) {
    const auto& attributes = list.children[i]->attributes;
    double w = number(attributes.at("AXSize"), "Width"),
           h = number(attributes.at("AXSize"), "Height");
    double left = number(attributes.at("AXPosition"), "X") - w / 2 + 12.5;
    double top = number(attributes.at("AXPosition"), "Y") - h / 2 + 10.5;
    const AXRect& drawn = bars[0].items[i].drawn;
    EXPECT_NEAR(left, drawn.minX(), 1e-9) << i;
    EXPECT_NEAR(top, drawn.minY(), 1e-9) << i;
    EXPECT_NEAR(w - 25, drawn.size.width, 1e-9) << i;
    EXPECT_NEAR(h - 31, drawn.size.height, 1e-9) << i;
  }
}

TEST_F(MissionControlTest, OpeningAndExpandingMoveTheFramesThenSettleAndAreAnnounced) {
  observeHost();
  mac.openMissionControl();
  auto listHeight = [&] { return mc.bars()[0].frame.size.height; };
  auto firstWidth = [&] { return mc.bars()[0].items[0].reported.size.width; };
  std::vector<double> widths;
  for (int i = 0; i < 24; ++i) {  // 0.4 s: the opening grows the bar, then it stays
    widths.push_back(firstWidth());
    loop.advance(1.0 / 60);
  }
  EXPECT_LT(widths.front(), widths[10]);
  EXPECT_LT(widths[10], widths.back());
  EXPECT_EQ(widths[22], widths[23]);
  int updates = mc.treeUpdates();
  loop.advance(1);
  EXPECT_EQ(mc.treeUpdates(), updates) << "nothing moves, nothing ticks";
  EXPECT_EQ(listHeight(), 40);
  EXPECT_LT(mc.bars()[0].items[0].reported.maxY(), 0) << "labels report above the bar";

  mac.movePointer(ScreenPoint{700, 900});  // below the top: still collapsed
  loop.advance(0.1);
  EXPECT_FALSE(mc.expanded("A"));
  mac.movePointer(ScreenPoint{700, 970});
  std::vector<double> heights;
  for (int i = 0; i < 24; ++i) {
    loop.advance(1.0 / 60);
    heights.push_back(listHeight());
  }
  EXPECT_GT(heights[5], 40);
  EXPECT_LT(heights[5], heights[12]);
  EXPECT_EQ(heights.back(), 150);
  EXPECT_TRUE(mc.expanded("A"));
  EXPECT_FALSE(mc.expanded("B"));
  const AXRect thumbnail = mc.bars()[0].items[0].reported;
  EXPECT_GE(thumbnail.size.height, 96);
  EXPECT_LE(thumbnail.size.height, 112);
  EXPECT_EQ(thumbnail.minY(), 10);

  // Hovering the second thumbnail selects it; leaving the top does not collapse the bar.
  const AXRect second = mc.bars()[0].items[1].drawn;
  mac.movePointer(toScreen(AXPoint{second.midX(), second.midY()}, 982));
  mac.movePointer(ScreenPoint{700, 500});
  loop.advance(0.5);
  EXPECT_EQ(listHeight(), 150);
  mac.closeMissionControl();
  loop.advance(0.1);
  EXPECT_EQ(heard, (std::vector<std::string>{
                       "@0.000 AXCreated", "@1.500 AXSelectedChildrenChanged",
                       "@1.500 AXFocusedUIElementChanged", "@1.900 AXSelectedChildrenChanged",
                       "@1.900 AXFocusedUIElementChanged", "@2.400 AXUIElementDestroyed"}));
}

TEST_F(MissionControlTest, ClicksLandCloseOrDoNothingByWhereTheyFall) {
  std::string out;
  auto look = [&](const std::string& what) {
    loop.advance(0.5);
    auto name = [&](const std::string& display, const std::vector<std::uint64_t>& spaces) {
      for (std::size_t i = 0; i < spaces.size(); ++i) {
        if (spaces[i] == mac.currentSpace(display)) return std::to_string(i);
      }
      return std::string("?");
    };
    out += what + ": " + (mc.isOpen() ? "open" : "closed") + ", A on " + name("A", a) + ", B on " +
           name("B", b) + "\n";
  };
  auto centre = [&](const AXRect& r) { return toScreen(AXPoint{r.midX(), r.midY()}, 982); };
  mac.openMissionControl();
  loop.advance(0.5);
  mac.click(centre(mc.bars()[1].items[1].drawn));  // B's second label, collapsed
  look("B's Desktop 2 label");
  mac.openMissionControl();
  mac.movePointer(ScreenPoint{700, 970});
  loop.advance(0.5);
  mac.click(ScreenPoint{5, 950});  // the bar's empty left end
  look("bar space");
  mac.click(centre(mc.bars()[0].addControl));
  look("add control");
  mac.click(centre(mc.bars()[0].items[1].drawn));
  look("A's Desktop 2 thumbnail");
  mac.openMissionControl();
  loop.advance(0.5);
  mac.click(ScreenPoint{700, 400});
  look("the middle of A");
  mac.openMissionControl();
  loop.advance(0.5);
  const SimAXNode& list = *mc.root()->children[0]->children[0]->children[0];
  mac.accessibility().performAction(std::make_shared<SimAXElement>(mc.hostPID(), list.children[0]),
                                    "AXPress");
  look("AXPress on A's Desktop 1");
  EXPECT_EQ(out,
            "B's Desktop 2 label: closed, A on 0, B on 1\n"
            "bar space: open, A on 0, B on 1\n"
            "add control: open, A on 0, B on 1\n"
            "A's Desktop 2 thumbnail: closed, A on 1, B on 1\n"
            "the middle of A: closed, A on 1, B on 1\n"
            "AXPress on A's Desktop 1: closed, A on 0, B on 1\n");
}

TEST_F(MissionControlTest, SwipesAreGestureInputThenSlide) {
  double before = workspace.secondsSinceLastEventType(0, kEventGesture);
  mac.swipe(VirtualMac::Direction::right);
  loop.advance(0.2);
  EXPECT_LT(workspace.secondsSinceLastEventType(0, kEventGesture), 1.0 / 60);
  EXPECT_LT(workspace.secondsSinceLastEventType(0, 0xFFFFFFFF), 1.0 / 60);
  EXPECT_GT(before, 1000);
  EXPECT_EQ(mac.currentSpace("A"), a[0]);
  loop.advance(0.6);  // the swipe ends, then the Dock's slide
  EXPECT_EQ(mac.currentSpace("A"), a[1]);
  EXPECT_EQ(mac.pointer(), ScreenPoint{});
  mac.swipe(VirtualMac::Direction::left);
  loop.advance(1);
  EXPECT_EQ(mac.currentSpace("A"), a[0]);
}

TEST_F(MissionControlTest, ADockRestartWhileOpenTakesMissionControlAndItsTreeAlong) {
  observeHost();
  mac.openMissionControl();
  loop.advance(0.5);
  pid_t old = mac.dock().pid();
  SimAXNodePtr root = mc.root();
  mac.dock().restart();
  loop.advance(0.5);
  EXPECT_FALSE(mc.isOpen());
  EXPECT_TRUE(root->destroyed);
  EXPECT_EQ(windowList(), "closed layer-windows 0 screen-sized 2");
  EXPECT_EQ(heard, std::vector<std::string>{"@0.000 AXCreated"}) << "a dead Dock says nothing";
  mac.openMissionControl();
  loop.advance(0.5);
  EXPECT_NE(mc.hostPID(), old);
  EXPECT_EQ(windowList(), "open layer-windows 2 screen-sized 2");
  EXPECT_NE(tree().find("AXIdentifier=\"mc\""), std::string::npos);
}

TEST_F(MissionControlTest, DisplaysComingAndGoingWhileOpenRebuildTheBars) {
  observeHost();
  mac.openMissionControl();
  loop.advance(0.5);
  mac.userAttachDisplay("C", ScreenRect::make(-1920, 0, 1920, 1080));
  loop.advance(0.5);
  EXPECT_EQ(windowList(), "open layer-windows 3 screen-sized 3");
  ASSERT_EQ(mc.root()->children.size(), 3u);
  EXPECT_EQ(mc.bars()[2].frame, AXRect::make(-1920, -98, 1920, 40));
  mac.userDetachDisplay("B");
  loop.advance(0.5);
  EXPECT_EQ(windowList(), "open layer-windows 2 screen-sized 2");
  // B's desktops joined A's, numbered on from A's own.
  std::vector<std::string> titles;
  auto bars = mc.bars();
  for (const auto& item : bars[0].items) titles.push_back(item.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"Desktop 1", "Desktop 2", "Full Screen", "Desktop 3",
                                              "Desktop 4"}));
  EXPECT_EQ(heard, (std::vector<std::string>{"@0.000 AXCreated", "@0.500 AXUIElementDestroyed",
                                             "@0.500 AXCreated", "@1.000 AXUIElementDestroyed",
                                             "@1.000 AXCreated"}));
}

}  // namespace
}  // namespace velmora::sim
