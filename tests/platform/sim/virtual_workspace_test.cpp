#include "platform/sim/virtual_workspace.h"

#include <gtest/gtest.h>

#include "golden.h"
#include "platform/sim/machine_text.h"
#include "platform/sim/two_displays.h"

namespace velmora::sim {
namespace {

using WorkspaceTest = testing::TwoDisplays;

TEST_F(WorkspaceTest, ScreensDescribeDisplaysAsAppKitDoes) {
  mac.addSystemFurniture();
  auto screens = workspace.screens();
  ASSERT_EQ(screens.size(), 2u);
  EXPECT_EQ(screens[1].frame, ScreenRect::make(1512, -458, 2560, 1440));
  EXPECT_EQ(screens[1].visibleFrame, ScreenRect::make(1512, -458, 2560, 1416));
  EXPECT_EQ(screens[1].backingScaleFactor, 1);
  EXPECT_EQ(screens[1].deviceDescription.find("NSScreenNumber")->asInteger(), 2);
  EXPECT_EQ(*workspace.displayUUIDString(2).asString(), "B");
  EXPECT_TRUE(workspace.displayUUIDString(9).isNull());

  // The Dock takes the bottom of the main display; the menu bar sits on every display.
  mac.userDetachDisplay("B");
  mac.userAttachDisplay("C", ScreenRect::make(-1920, 0, 1920, 1080), 1);
  EXPECT_TRUE(velmora::testing::matchesGolden("platform/furniture.txt", testing::machineText(mac)));
  EXPECT_EQ(workspace.runningApplication(400)->activationPolicy,
            platform::ActivationPolicy::Accessory);
  EXPECT_EQ(workspace.runningApplication(300)->activationPolicy,
            platform::ActivationPolicy::Prohibited);
}

TEST_F(WorkspaceTest, ActivationRaisesTheAppAndItsFrontWindow) {
  auto self = workspace.runningApplication(VirtualMac::kSelfPID);
  ASSERT_TRUE(self);
  EXPECT_EQ(self->bundleIdentifier, "app.velmora.Velmora");
  EXPECT_EQ(self->activationPolicy, platform::ActivationPolicy::Accessory);

  platform::pid_t mail = mac.addApplication({.name = "Mail"});
  std::int64_t notesWindow = mac.addWindow(notes, {a[0]}, AXRect::make(0, 40, 800, 600));
  mac.addWindow(mail, {a[0]}, AXRect::make(0, 40, 800, 600));
  EXPECT_TRUE(workspace.activate(notes, 0));
  EXPECT_EQ(workspace.frontmostApplication()->pid, notes);
  EXPECT_EQ(mac.windows().front().number, notesWindow);

  mac.quitApplication(notes);
  EXPECT_FALSE(workspace.runningApplication(notes));
  EXPECT_FALSE(workspace.activate(notes, 0));
  EXPECT_FALSE(workspace.activate(4242, 0));
  EXPECT_EQ(mac.frontmostPID(), mail);  // the next window's app takes over
}

TEST_F(WorkspaceTest, InputClocksCountVirtualTime) {
  loop.advance(5);
  mac.userInput(platform::kEventKeyDown);
  loop.advance(2.5);
  EXPECT_DOUBLE_EQ(workspace.secondsSinceLastEventType(platform::kEventSourceStateCombined,
                                                       platform::kEventKeyDown),
                   2.5);
  EXPECT_GT(workspace.secondsSinceLastEventType(platform::kEventSourceStateHID,
                                                platform::kEventMouseMoved),
            100000);
  mac.userInput(platform::kEventMouseMoved);
  loop.advance(1);
  EXPECT_DOUBLE_EQ(workspace.secondsSinceLastEventType(0, 0xFFFFFFFF), 1);  // any input event
}

}  // namespace
}  // namespace velmora::sim
