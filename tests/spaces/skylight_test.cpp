#include <gtest/gtest.h>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"
#include "spaces/skylight.h"
#include "test_ids.h"

namespace velmora {
namespace {

using namespace velmora::testing;

using Dict = Value::Dictionary;

Value space(Value id64, Value managed = {}, Value type = {}) {
  Dict d;
  if (!id64.isNull()) d["id64"] = id64;
  if (!managed.isNull()) d["ManagedSpaceID"] = managed;
  if (!type.isNull()) d["type"] = type;
  return Value(d);
}

Value window(Value number, Value layer, double w, double h, Value pid) {
  Dict d;
  d[platform::kWindowNumber] = number;
  d[platform::kWindowLayer] = layer;
  d[platform::kWindowBounds] =
      Value::dictionary({{"X", 0.0}, {"Y", 0.0}, {"Width", w}, {"Height", h}});
  d[platform::kWindowOwnerPID] = pid;
  return Value(d);
}

TEST(SkyLightParsing, DisplaysFallBackKeyByKey) {
  Value answer = Value::array({
      Value::dictionary({{"Display Identifier", "MAIN"},
                         {"Current Space", Value::dictionary({{"id64", 12}})},
                         {"Spaces", Value::array({space(12), space(13, 7), space(14, {}, 4)})}}),
      // No current space, a non-string identifier, spaces that is not an array.
      Value::dictionary({{"Display Identifier", 42}, {"Spaces", "nope"}}),
      // A current space whose id is not a number.
      Value::dictionary(
          {{"Display Identifier", "EXT"},
           {"Current Space", Value::dictionary({{"id64", "12"}})},
           {"Spaces", Value::array({space("x"), space({}), Value(5), space(20.0, 3.5, "4")})}}),
  });
  auto displays = SkyLight::parseDisplays(answer);
  ASSERT_EQ(displays.size(), 3u);

  EXPECT_EQ(displays[0].uuid, "MAIN");
  EXPECT_EQ(displays[0].currentSpaceID, 12_sid);
  ASSERT_EQ(displays[0].spaces.size(), 3u);
  EXPECT_EQ(displays[0].spaces[0],
            (SkyLight::Space{12_sid, 12_mid, 0, "MAIN"}));  // managedID = id64
  EXPECT_EQ(displays[0].spaces[1].managedID, 7_mid);
  EXPECT_EQ(displays[0].spaces[2].type, 4);  // kept, so layout comparisons see it
  EXPECT_FALSE(displays[0].spaces[2].isDesktop());

  EXPECT_EQ(displays[1].uuid, "");
  EXPECT_EQ(displays[1].currentSpaceID, 0_sid);
  EXPECT_TRUE(displays[1].spaces.empty());

  EXPECT_EQ(displays[2].currentSpaceID, 0_sid);
  // Only the element with a numeric id64 survives; mistyped managed id and type fall back.
  ASSERT_EQ(displays[2].spaces.size(), 1u);
  EXPECT_EQ(displays[2].spaces[0], (SkyLight::Space{20_sid, 20_mid, 0, "EXT"}));
}

TEST(SkyLightParsing, AnswersThatAreNotArraysGiveNothing) {
  EXPECT_TRUE(SkyLight::parseDisplays(Value()).empty());
  EXPECT_TRUE(SkyLight::parseDisplays(Value::dictionary({{"Spaces", Value::array({})}})).empty());
  EXPECT_TRUE(SkyLight::parseWindows(Value("windows")).empty());
  // A display entry that is not a dictionary still counts as a display with nothing known.
  auto odd = SkyLight::parseDisplays(Value::array({Value(1)}));
  ASSERT_EQ(odd.size(), 1u);
  EXPECT_EQ(odd[0], SkyLight::Display{});
}

TEST(SkyLightParsing, HugeAndNegativeIdsAreReadAsUnsigned) {
  auto displays = SkyLight::parseDisplays(
      Value::array({Value::dictionary({{"Display Identifier", "D"},
                                       {"Current Space", Value::dictionary({{"id64", -1}})},
                                       {"Spaces", Value::array({space(-1), space(1e300)})}})}));
  ASSERT_EQ(displays[0].spaces.size(), 1u);
  EXPECT_EQ(displays[0].spaces[0].id, SpaceID(UINT64_MAX));
  EXPECT_EQ(displays[0].spaces[0].managedID, ManagedID(-1));  // id64 taken as a signed integer
  EXPECT_EQ(displays[0].currentSpaceID, SpaceID(UINT64_MAX));
}

TEST(SkyLightParsing, WindowFiltersKeepOnlyOrdinarySizeableOwnedWindows) {
  Value answer = Value::array({
      window(1, 0, 81, 61, 10),            // smallest that counts
      window(2, 0, 80, 200, 10),           // 80 wide: too narrow
      window(3, 0, 200, 60, 10),           // 60 tall: too short
      window(4, 25, 500, 500, 10),         // status layer
      window(5, "0", 500, 500, 10),        // layer of the wrong kind
      window(6, 0, 500, 500, {}),          // no owner
      window(7, 0, 500, 500, 5000000000),  // owner beyond a pid
      window("8", 0, 500, 500, 10),        // number of the wrong kind
      window(9.0, 0.0, 500, 500, 11.0),    // reals holding integers are integers
      Value::dictionary({{platform::kWindowNumber, 10},
                         {platform::kWindowLayer, 0},
                         {platform::kWindowOwnerPID, 10}}),  // no bounds
  });
  auto windows = SkyLight::parseWindows(answer);
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_EQ(windows[0], (SkyLight::WindowInfo{1, 10}));
  EXPECT_EQ(windows[1], (SkyLight::WindowInfo{9, 11}));
}

class SkyLightOnTheVirtualMac : public ::testing::Test {
 protected:
  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  SkyLight sky{mac.windowServer(), mac.workspace()};
};

TEST_F(SkyLightOnTheVirtualMac, ReadsTheLayoutAndSwitches) {
  mac.addDisplay("A", ScreenRect::make(0, 0, 1512, 982));
  std::uint64_t second = mac.addSpace("A");
  std::uint64_t fullScreen = mac.addSpace("A", sim::kSpaceTypeFullScreen);
  auto displays = sky.displays();
  ASSERT_EQ(displays.size(), 1u);
  EXPECT_EQ(displays[0].spaces.size(), 3u);
  EXPECT_EQ(displays[0].spaces[2].id, SpaceID(fullScreen));

  EXPECT_EQ(sky.setCurrentSpace(displays[0].spaces[1]), 0);
  EXPECT_EQ(mac.currentSpace("A"), second);
  SkyLight::Space elsewhere = displays[0].spaces[0];
  elsewhere.displayUUID = "nowhere";
  EXPECT_NE(sky.setCurrentSpace(elsewhere), 0);  // passed through, not interpreted
  EXPECT_EQ(sky.activeMenuBarDisplay(), "A");
}

TEST_F(SkyLightOnTheVirtualMac, FindsTheFrontWindowOfAnApplication) {
  mac.addDisplay("A", ScreenRect::make(0, 0, 1512, 982));
  std::uint64_t desk = mac.currentSpace("A");
  platform::pid_t app = mac.addApplication({.name = "Notes"});
  platform::pid_t other = mac.addApplication({.name = "Mail"});
  mac.addWindow(app, {desk}, AXRect::make(0, 30, 400, 300));
  std::int64_t front = mac.addWindow(app, {desk}, AXRect::make(0, 30, 500, 300));
  mac.addWindow(app, {desk}, AXRect::make(0, 30, 400, 20));  // a sliver in front: skipped
  mac.addWindow(other, {desk}, AXRect::make(0, 30, 500, 300));
  mac.userActivate(app);
  EXPECT_EQ(sky.frontWindow(app), front);
  EXPECT_EQ(sky.frontWindow(4242), std::nullopt);

  std::uint64_t target = mac.addSpace("A");
  sky.moveWindow(front, SpaceID(target));
  EXPECT_EQ(sky.windowIDs(SpaceID(target)), std::vector<std::int64_t>{front});
  EXPECT_TRUE(sky.windowIDs(999_sid).empty());
}

TEST_F(SkyLightOnTheVirtualMac, FindsScreensByDisplayIdentifier) {
  mac.addDisplay("11111111-AAAA", ScreenRect::make(0, 0, 1512, 982));
  mac.addDisplay("22222222-BBBB", ScreenRect::make(1512, 0, 2560, 1440), 1);
  auto screen = sky.screen("22222222-BBBB");
  ASSERT_TRUE(screen);
  EXPECT_EQ(screen->frame, ScreenRect::make(1512, 0, 2560, 1440));
  EXPECT_FALSE(sky.screen("not-a-display"));
  EXPECT_FALSE(sky.screen("22222222-bbbb"));  // exact match only
}

}  // namespace
}  // namespace velmora
