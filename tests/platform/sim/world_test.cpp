#include "platform/sim/world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

#include "core/virtual_loop.h"
#include "golden.h"
#include "platform/sim/machine_text.h"

namespace velmora::sim {
namespace {

const std::string kWorlds = VELMORA_WORLDS_DIR;

// The shipped world as the machine it makes, furniture and all; the dump leaves out the grant
// and Mail's badge (taking it off finds the icon).
TEST(World, TwoDisplaysLoadsTheMachineItDescribes) {
  VirtualLoop loop;
  VirtualMac mac(loop);
  Result<void> result = loadWorldFile(mac, kWorlds + "/two-displays.json");
  ASSERT_TRUE(result.ok()) << result.error();
  EXPECT_TRUE(velmora::testing::matchesGolden("platform/two_displays_world.txt",
                                              testing::machineText(mac)));
  EXPECT_TRUE(mac.accessibility().isProcessTrusted());
  EXPECT_TRUE(mac.setDockBadge(std::ranges::find(mac.apps(), "Mail", &SimApp::name)->pid, {}));
}

TEST(World, EveryShippedWorldLoadsAndItsMenuBarHasOneClock) {
  // Screenshots are read as a Mac: an item that reads as a time of day next to the system's
  // clock looks like a second, wrong clock.
  for (const auto& file : std::filesystem::directory_iterator(kWorlds)) {
    VirtualLoop loop;
    VirtualMac mac(loop);
    Result<void> result = loadWorldFile(mac, file.path().string());
    ASSERT_TRUE(result.ok()) << file.path() << ": " << result.error();
    for (const SimMenuExtra& extra : mac.menuBar().extras()) {
      const std::string& t = extra.title;
      auto colon = t.find(':');
      bool clockLike = colon != std::string::npos && colon > 0 && colon + 3 == t.size() &&
                       std::isdigit(static_cast<unsigned char>(t[colon - 1])) &&
                       std::isdigit(static_cast<unsigned char>(t[colon + 1]));
      EXPECT_FALSE(clockLike) << file.path() << ": " << t;
    }
  }
}

TEST(World, ThreeBySixteenHasFortyApplicationWindows) {
  VirtualLoop loop;
  VirtualMac mac(loop);
  Result<void> result = loadWorldFile(mac, kWorlds + "/three-by-sixteen.json");
  ASSERT_TRUE(result.ok()) << result.error();
  ASSERT_EQ(mac.displays().size(), 3u);
  for (const auto& d : mac.displays()) EXPECT_EQ(d.spaces.size(), 16u);
  int appWindows = 0;
  for (const auto& w : mac.windows()) appWindows += w.owner >= 600 ? 1 : 0;
  EXPECT_EQ(appWindows, 40);
  EXPECT_EQ(mac.windowServer().copyManagedDisplaySpaces(0).asArray()->size(), 3u);
}

TEST(World, DefaultsLayDisplaysOutSideBySide) {
  VirtualLoop loop;
  VirtualMac mac(loop);
  Result<void> result = loadWorld(mac, R"({
    // comments are allowed
    "furniture": false,
    "displays": [
      {"uuid": "Main"},
      {"uuid": "Wide", "size": [2560, 1440], "spaces": ["desktop", {"type": "fullscreen",
        "name": "Keynote", "fullScreenOwner": 600}], "current": 1}
    ],
    "dock": {"switchAnimation": 0.5},
    "apps": [
      {"name": "Notes"},
      {"pid": 600, "name": "Keynote", "windows": [{"space": {"display": "Wide", "space": 1}}]}
    ]
  })");
  ASSERT_TRUE(result.ok()) << result.error();
  // Side by side from the main display, pids assigned around the ones asked for, no furniture.
  EXPECT_TRUE(
      velmora::testing::matchesGolden("platform/world_defaults.txt", testing::machineText(mac)));
  EXPECT_EQ(*mac.windowServer().spaceCopyName(0, mac.currentSpace("Wide")).asString(), "Keynote");
  EXPECT_EQ(mac.dock().switchAnimation(), 0.5);
}

// Each notched MacBook panel at its default resolution and at a scaled one: the housing
// keeps its physical size, so it covers more points when the display shows more.
TEST(World, NotchedPanelsLeaveAuxiliaryAreasOfTheirHousing) {
  std::string out;
  for (const char* display : {
           R"({"uuid": "A", "size": [1470, 956], "notch": true})",
           R"({"uuid": "A", "size": [1512, 982], "notch": true})",
           R"({"uuid": "A", "size": [1800, 1169], "notch": true, "model": "MacBook Pro 14"})",
           R"({"uuid": "A", "size": [1710, 1112], "notch": true})",
           R"({"uuid": "A", "size": [1728, 1117], "notch": true, "menuBarHeight": 37})",
           R"({"uuid": "A", "size": [1512, 982], "notch": [0.5, 20]})",
       }) {
    VirtualLoop loop;
    VirtualMac mac(loop);
    std::string world = std::string(R"({"furniture": false, "displays": [)") + display + "]}";
    ASSERT_TRUE(loadWorld(mac, world).ok()) << display;
    platform::ScreenInfo screen = mac.workspace().screens().at(0);
    ASSERT_TRUE(screen.auxiliaryTopLeftArea && screen.auxiliaryTopRightArea) << display;
    const ScreenRect& l = *screen.auxiliaryTopLeftArea;
    const ScreenRect& r = *screen.auxiliaryTopRightArea;
    char line[160];
    std::snprintf(line, sizeof line, "left %g wide, notch %g, right %g, band %g high, inset %g",
                  l.size.width, r.minX() - l.maxX(), r.size.width, l.size.height,
                  screen.safeAreaTopInset);
    out += std::string(display) + "\n  " + line + "\n";
  }
  EXPECT_TRUE(velmora::testing::matchesGolden("platform/world_notches.txt", out));
}

// Each file that cannot be used, one a line with the sentence that says why and where (any
// error ends the load with nothing of the machine made and the Dock as it was).
TEST(World, RejectsBadFilesWithOneSentenceAndChangesNothing) {
  std::string out;
  for (const char* json : {
           "",
           "{\n  \"displays\": [\n    {\"uuid\": \"A\",}\n  ]\n}",
           "[1, 2]",
           "{}",
           "{\"displays\": [\n {\"uuid\": \"A\",\n  \"frame\": \"wide\"}]}",
           "{\"displays\": [{\"uuid\": \"A\", \"scale\": \"2\"}]}",
           "{\"displays\": [{\"uuid\": \"A\", \"dockheight\": 4}]}",
           "{\"displays\": [{\"uuid\": \"A\"}, {\"uuid\": \"A\"}]}",
           "{\"displays\": [{\"uuid\": \"A\", \"current\": 1}]}",
           "{\"displays\": [{\"uuid\": \"A\"}], \"apps\": [{\"windows\": [{\"space\": \"0:3\"}]}]}",
           "{\"displays\": [{\"uuid\": \"A\"}], \"frontmost\": \"Mail\"}",
           "{\"displays\": [{\"uuid\": \"A\"}], \"apps\": [{\"pid\": 500}]}",
           "{\"displays\": [{\"uuid\": \"A\"}], \"activeMenuBarDisplay\": \"B\"}",
           "{\"displays\": [{\"uuid\": \"A\"}], \"apps\": [{\"policy\": \"accessory\", \"badge\": "
           "\"1\"}]}",
           "{\"displays\": [{\"uuid\": \"A\"}], \"apps\": [{\"badge\": \"1\"}], \"furniture\": "
           "false}",
           "{\"displays\": [{\"uuid\": \"A\"}],\n \"dock\": {\"switchAnimation\": -1}}",
           "{\"displays\": [{\"uuid\": \"A\"}], \"dock\": {\"switchAnimation\": \"fast\"}}",
           "{\"displays\": [{\"uuid\": \"A\"}], \"dock\": {\"animation\": 1}}",
           "{\"displays\": [{\"uuid\": \"A\"}], \"dock\": 1}",
           "{\"displays\": [{\"uuid\": \"A\", \"notch\": true, \"model\": \"iMac\"}]}",
           "{\"displays\": [{\"uuid\": \"A\"}], \"apps\": [{\"bundleIdentifier\": \"a.b\", "
           "\"iconColor\": \"blue\"}]}",
           "{\"displays\": [{\"uuid\": \"A\"}], \"apps\": [{\"bundleIdentifier\": \"a.b\", "
           "\"iconColor\": \"#12345G\"}]}",
           "{\"displays\": [{\"uuid\": \"A\"}], \"apps\": [{\"bundleIdentifier\": \"a.b\", "
           "\"iconSymbol\": \"\"}]}",
           "{\"displays\": [{\"uuid\": \"A\"}], \"apps\": [{\"name\": \"x\", \"iconSymbol\": "
           "\"star.fill\"}]}",
       }) {
    VirtualLoop loop;
    VirtualMac mac(loop);
    Result<void> result = loadWorld(mac, json);
    out += velmora::testing::escaped(json) + "\n  " + (result.ok() ? "loaded!" : result.error()) +
           "\n";
    EXPECT_TRUE(mac.displays().empty()) << json;
    EXPECT_EQ(mac.dock().switchAnimation(), VirtualDock::kDefaultSwitchAnimation);
  }
  EXPECT_TRUE(velmora::testing::matchesGolden("platform/world_errors.txt", out));

  VirtualLoop loop;
  VirtualMac mac(loop);
  Result<void> missing = loadWorldFile(mac, kWorlds + "/no-such-world.json");
  EXPECT_FALSE(missing.ok());
  EXPECT_NE(missing.error().find("no-such-world.json"), std::string::npos);
}

}  // namespace
}  // namespace velmora::sim
