#include <gtest/gtest.h>

#include <vector>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora::sim {
namespace {

class EventTapsTest : public ::testing::Test {
 protected:
  EventTapsTest() { mac.addDisplay("Main", ScreenRect::make(0, 0, 1000, 800)); }

  std::unique_ptr<platform::EventTap> tap(std::uint64_t mask) {
    return mac.platform().eventTaps.createTap(
        platform::kSessionEventTap, platform::kHeadInsertEventTap,
        platform::kEventTapOptionListenOnly, mask,
        [this](const platform::TapEvent& e) { heard.push_back(e); });
  }

  VirtualLoop loop;
  VirtualMac mac{loop};
  std::vector<platform::TapEvent> heard;
};

constexpr std::uint64_t kLeftButton = platform::eventMaskBit(platform::kEventLeftMouseDown) |
                                      platform::eventMaskBit(platform::kEventLeftMouseUp);

TEST_F(EventTapsTest, AClickAndADragAreHeardAfterTheCallInWindowListCoordinates) {
  auto listening = tap(kLeftButton);
  ASSERT_TRUE(listening);
  mac.click({100, 700});
  EXPECT_TRUE(heard.empty());  // a run-loop source fires on a later turn
  loop.advance(0);
  mac.drag({10, 790}, {14, 787});
  loop.advance(0);
  ASSERT_EQ(heard.size(), 4u);
  EXPECT_EQ(heard[0].type, platform::kEventLeftMouseDown);
  EXPECT_EQ(heard[1].type, platform::kEventLeftMouseUp);
  EXPECT_EQ(heard[1].location, (AXPoint{100, 100}));
  EXPECT_EQ(heard[2].location, (AXPoint{10, 10}));
  EXPECT_EQ(heard[3].location, (AXPoint{14, 13}));
}

TEST_F(EventTapsTest, OnlyEnabledLiveTapsWithTheTypeInTheirMaskHear) {
  auto downOnly = tap(platform::eventMaskBit(platform::kEventLeftMouseDown));
  auto both = tap(kLeftButton);
  both->enable(false);
  mac.click({1, 1});
  loop.advance(0);
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].type, platform::kEventLeftMouseDown);

  // Dropped between the event and its delivery: nothing runs.
  both->enable(true);
  mac.click({1, 1});
  downOnly.reset();
  both.reset();
  loop.advance(0);
  EXPECT_EQ(heard.size(), 1u);
  EXPECT_EQ(mac.eventTaps().tapCount(), 0);
}

TEST_F(EventTapsTest, TheSystemTurnsTapsOffOnceUntilTheyAreEnabledAgain) {
  auto listening = tap(kLeftButton);
  mac.eventTaps().disableAll(platform::kEventTapDisabledByTimeout);
  mac.click({1, 1});
  loop.advance(0);
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].type, platform::kEventTapDisabledByTimeout);
  EXPECT_FALSE(listening->isEnabled());
  listening->enable(true);
  mac.click({1, 1});
  loop.advance(0);
  EXPECT_EQ(heard.size(), 3u);

  mac.eventTaps().refuseTaps(true);
  EXPECT_FALSE(tap(kLeftButton));
}

TEST_F(EventTapsTest, SleepAndSessionNotificationsArriveOnTheNextTurn) {
  std::vector<std::string> seen;
  auto& workspace = mac.platform().workspace;
  auto sleepToken = workspace.observeSession(platform::SessionEvent::screensDidSleep,
                                             [&] { seen.push_back("sleep"); });
  auto wakeToken = workspace.observeSession(platform::SessionEvent::screensDidWake,
                                            [&] { seen.push_back("wake"); });
  auto awayToken = workspace.observeSession(platform::SessionEvent::sessionDidResignActive,
                                            [&] { seen.push_back("away"); });
  auto backToken = workspace.observeSession(platform::SessionEvent::sessionDidBecomeActive,
                                            [&] { seen.push_back("back"); });
  mac.sleepScreens();
  mac.switchSessionAway();
  EXPECT_TRUE(seen.empty());
  loop.advance(0);
  mac.switchSessionBack();
  mac.wakeScreens();
  loop.advance(0);
  EXPECT_EQ(seen, (std::vector<std::string>{"sleep", "away", "back", "wake"}));
}

}  // namespace
}  // namespace velmora::sim
