#include "store/diagnostics.h"

#include <gtest/gtest.h>

#include <string>

#include "core/virtual_loop.h"
#include "golden.h"
#include "platform/sim/virtual_mac.h"
#include "store/log_file.h"
#include "store/settings.h"

namespace velmora {
namespace {

// What the engine, the surfaces and the system answer, as each test sets it.
struct SampleSources final : DiagnosticsSources {
  bool trusted = false;
  SystemShortcutsState shortcuts;
  std::vector<platform::ScreenInfo> screenList;
  std::vector<std::string> notchList;
  std::string tile = "no window";
  std::vector<DiagnosticsDisplay> displayList;
  std::optional<std::string> focused, last;
  bool missionControl = false;
  std::string lastPass;

  bool accessibilityTrusted() override { return trusted; }
  SystemShortcutsState systemShortcuts() override { return shortcuts; }
  std::vector<platform::ScreenInfo> screens() override { return screenList; }
  std::vector<std::string> notches() override { return notchList; }
  std::string menuBarTile() override { return tile; }
  std::vector<DiagnosticsDisplay> displays() override { return displayList; }
  std::optional<std::string> focusedTitle() override { return focused; }
  std::optional<std::string> lastTitle() override { return last; }
  bool missionControlOpen() override { return missionControl; }
  std::string missionControlLastPass() override { return lastPass; }
};

platform::ScreenInfo screen(std::int64_t number, std::string name, ScreenRect frame,
                            ScreenRect visible, double scale) {
  return {frame, visible, scale, std::move(name), Value::dictionary({{"NSScreenNumber", number}})};
}

DiagnosticsSpace desktop(std::uint64_t id, std::int64_t msid, int number, std::string title,
                         SpaceIcon icon, TileColor color) {
  return {SpaceID(id), ManagedID(msid), 0,
          DiagnosticsSpace::Desktop{number, std::move(title), icon, color}};
}

class DiagnosticsTest : public ::testing::Test {
 protected:
  std::string text() { return diagnosticsText(sources, settings, logs.missionControl()); }

  VirtualLoop loop{1796354527};  // 2026-12-04T03:22:07Z
  sim::VirtualMac mac{loop};     // a temporary home and defaults, removed afterwards
  Logs logs{mac.home(), loop};
  Settings settings{mac.preferences()};
  SampleSources sources;
};

TEST_F(DiagnosticsTest, AWholeSnapshotReadsInOrder) {
  sources.trusted = true;
  sources.shortcuts = {10, "⌃←", "⌃→"};
  sources.screenList = {screen(1, "Built-in Retina Display", ScreenRect::make(0, 0, 1512, 982),
                               ScreenRect::make(0, 0, 1512, 944), 2),
                        screen(4, "LG UltraFine", ScreenRect::make(1512, -200, 2560, 1440),
                               ScreenRect::make(1512, -130.5, 2560, 1415), 1.5)};
  sources.notchList = {"Built-in left=662 right=850"};
  sources.tile = "frame={{1200, 1079}, {96, 24}} onScreen=true presence=shown";
  sources.displayList = {
      {"37D8832A-2D66",
       SpaceID(102),
       {desktop(101, 5, 1, "Mail", SpaceIcon::symbol("envelope.fill"), TileColor::palette(12)),
        {SpaceID(340), ManagedID(340), 4, std::nullopt},  // a full-screen application
        desktop(102, 7, 2, "Desktop 2", SpaceIcon::none(), TileColor::automatic())}},
      {"Main",
       SpaceID(205),
       {desktop(205, 205, 3, "Code 🚀", SpaceIcon::emoji("🚀"), TileColor::transparent())}},
  };
  sources.focused = "Desktop 2";
  sources.last = "Mail";
  sources.missionControl = true;
  sources.lastPass =
      "display 1 bar={{0, 40}, {1512, 150}} items=2 desktops=2\n"
      "  'Desktop 1' -> 560,56 180x112\n  'Desktop 2' -> 772,56 180x112\n";
  settings.setHudEnabled(false);
  settings.setMcPlacement(PillPlacement::insidePreview);
  settings.setMenuBarStyle(MenuBarStyle::numberAndName);
  settings.setNotchEnabled(true);
  settings.setNotchSide(NotchSide::right);
  settings.setNotchContent(NotchContent::iconOnly);
  logs.missionControl().append("opened on 2 displays");

  EXPECT_TRUE(testing::matchesGolden("store/diagnostics_whole.txt", text()));
}

TEST_F(DiagnosticsTest, AQuietMachineSaysOffNothingAndNoLogYet) {
  sources.shortcuts = {0, std::nullopt, "⌃→"};
  EXPECT_TRUE(testing::matchesGolden("store/diagnostics_quiet.txt", text()));
}

TEST_F(DiagnosticsTest, OnlyTheLast6000CharactersOfTheMissionControlLogComeAlong) {
  for (int i = 0; i < 300; ++i) logs.missionControl().append("pass " + std::to_string(i));
  std::string whole = logs.missionControl().tail(1'000'000);
  ASSERT_GT(whole.size(), 6000u);
  EXPECT_TRUE(text().ends_with("(tail) ---\n" + whole.substr(whole.size() - 6000)));
}

}  // namespace
}  // namespace velmora
