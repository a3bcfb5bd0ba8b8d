#include <gtest/gtest.h>

#include "core/virtual_loop.h"
#include "golden.h"
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

// What the bridge reads from the window server's answers, one display or window a line.
std::string parsed(const Value& displays, const Value& windows = Value()) {
  std::string out;
  for (const SkyLight::Display& d : SkyLight::parseDisplays(displays)) {
    out += "display \"" + d.uuid + "\" current " + to_string(d.currentSpaceID) + ":";
    for (const SkyLight::Space& space : d.spaces) {
      out += " " + to_string(space.id) + "/" + to_string(space.managedID) + " type " +
             std::to_string(space.type) + " on \"" + space.displayUUID + "\"" +
             (space.isDesktop() ? "" : " (not a desktop)") + ";";
    }
    out += "\n";
  }
  for (const SkyLight::WindowInfo& w : SkyLight::parseWindows(windows)) {
    out += "window " + std::to_string(w.id) + " of pid " + std::to_string(w.pid) + "\n";
  }
  return out;
}

// Displays fall back key by key: no current space, an identifier that is not text, spaces
// that are not an array, ids that are not numbers, managed ids and types of the wrong kind
// (the managed id is then the space's own), huge and negative ids read as unsigned; an entry
// that is not a dictionary is still a display with nothing known; answers that are not arrays
// give nothing. Windows count only when ordinary (layer 0), sizeable (more than 80 × 60),
// owned by a pid, with numbers that are integers (reals holding integers are integers).
TEST(SkyLightParsing, AnswersParseAsTheirGolden) {
  Value displays = Value::array({
      Value::dictionary({{"Display Identifier", "MAIN"},
                         {"Current Space", Value::dictionary({{"id64", 12}})},
                         {"Spaces", Value::array({space(12), space(13, 7), space(14, {}, 4)})}}),
      Value::dictionary({{"Display Identifier", 42}, {"Spaces", "nope"}}),
      Value::dictionary(
          {{"Display Identifier", "EXT"},
           {"Current Space", Value::dictionary({{"id64", "12"}})},
           {"Spaces", Value::array({space("x"), space({}), Value(5), space(20.0, 3.5, "4")})}}),
      Value::dictionary({{"Display Identifier", "D"},
                         {"Current Space", Value::dictionary({{"id64", -1}})},
                         {"Spaces", Value::array({space(-1), space(1e300)})}}),
      Value(1),
  });
  Value windows = Value::array({
      window(1, 0, 81, 61, 10),
      window(2, 0, 80, 200, 10),
      window(3, 0, 200, 60, 10),
      window(4, 25, 500, 500, 10),
      window(5, "0", 500, 500, 10),
      window(6, 0, 500, 500, {}),
      window(7, 0, 500, 500, 5000000000),
      window("8", 0, 500, 500, 10),
      window(9.0, 0.0, 500, 500, 11.0),
      Value::dictionary({{platform::kWindowNumber, 10},
                         {platform::kWindowLayer, 0},
                         {platform::kWindowOwnerPID, 10}}),
  });
  std::string out = parsed(displays, windows) + "-- answers that are not arrays\n" +
                    parsed(Value(), Value("windows")) +
                    parsed(Value::dictionary({{"Spaces", Value::array({})}}));
  EXPECT_TRUE(testing::matchesGolden("spaces/skylight_answers.txt", out));
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
