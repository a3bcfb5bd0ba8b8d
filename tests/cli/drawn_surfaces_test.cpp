// What the user sees on the virtual Mac, driven through the command line: the screenshots, and
// a panel that fades as `print panels` tells it. The editor and the tile's menu are
// tests/cli/surfaces.velmora.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <sstream>

#include "cli/session.h"
#include "core/virtual_loop.h"
#include "platform/sim/compositor.h"
#include "store/space_store.h"

namespace velmora {
namespace {

// Three desktops on a notched display, with one other application's item in the menu bar.
constexpr const char* kWorld = R"({"accessibilityTrusted": true,
  "displays": [{"uuid": "MAIN", "frame": [0, 0, 1512, 982], "menuBarHeight": 37,
                "notch": true, "spaces": ["desktop", "desktop", "desktop"]}],
  "menuBar": {"items": [{"app": "Focus Timer", "title": "Focus 24m", "width": 68}]}})";

struct Velmora {
  VirtualLoop loop;
  std::ostringstream out;
  cli::Session session{loop, &loop, out};

  Velmora() {
    EXPECT_TRUE(session.loadWorldText(kWorld).ok());
    session.launch();
    (*this)("advance 8");  // the first-run toast has gone
  }
  cli::Session::Status operator()(std::string_view command) { return session.execute(command); }
  sim::VirtualMac& mac() { return session.mac(); }
  bool printed(std::string_view text) const { return out.str().find(text) != std::string::npos; }
  // The colour of the pixel at (x, y) points of a picture drawn at scale 1.
  static std::array<int, 4> pixel(const platform::Canvas& canvas, double x, double y) {
    platform::Bitmap b = canvas.bitmap();
    const std::uint8_t* p =
        &b.rgba[(static_cast<std::size_t>(y) * b.pixelWidth + static_cast<std::size_t>(x)) * 4];
    return {p[0], p[1], p[2], p[3]};
  }
};

TEST(DrawnSurfaces, ScreenshotsShowTheTileTheTagAndTheMenu) {
  Velmora run;
  run("edit 1 name Mail");
  run("edit 1 color 5");
  run("edit 1 done");
  run("advance 1");
  sim::Compositor compositor(run.mac());
  auto item = run.mac().menuBar().item()->windowFrame();
  ASSERT_TRUE(item);
  // Left of the tile's number and below its sheen: 6 points of padding, then the 17-point tile.
  double tileX = item->minX() + 6 + 3, tileY = 37.0 / 2 + 4;
  auto screen = compositor.draw("MAIN", std::nullopt, 1.0);
  ASSERT_TRUE(screen);
  std::array<int, 4> centre = Velmora::pixel(*screen, tileX, tileY);
  RGBColor palette = kTilePalette[5].color;
  EXPECT_NEAR(centre[0], palette.red * 255, 3);
  EXPECT_NEAR(centre[1], palette.green * 255, 3);
  EXPECT_NEAR(centre[2], palette.blue * 255, 3);
  // The notch is black at the top centre.
  EXPECT_EQ(Velmora::pixel(*screen, 756, 5), (std::array<int, 4>{0, 0, 0, 255}));

  // A landing: the tag's card is dark at its centre once it has sprung in.
  run("press ctrl+opt+2");
  run("advance 0.8");
  const sim::VirtualPanel* tag = run.mac().panels().named("switch tag: MAIN");
  ASSERT_NE(tag, nullptr);
  screen = compositor.draw("MAIN", std::nullopt, 1.0);
  double midX = tag->frame().midX(), midY = 982 - tag->frame().midY();
  std::array<int, 4> card = Velmora::pixel(*screen, midX - tag->frame().size.width / 2 + 48, midY);
  EXPECT_LT(card[0], 40);
  EXPECT_LT(card[2], 45);

  // The menu opens under the tile, and the files are written where asked.
  run("click tile right");
  auto menu = compositor.menuFrame("MAIN");
  ASSERT_TRUE(menu);
  EXPECT_LE(menu->x, item->minX());  // kept on the screen
  EXPECT_LE(menu->x + menu->width, 1512);
  EXPECT_GT(menu->y, 37);
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "velmora-shots";
  std::filesystem::remove_all(folder);
  EXPECT_EQ(run("screenshot " + (folder / "menu.png").string() + " menu"),
            cli::Session::Status::ok);
  EXPECT_GT(std::filesystem::file_size(folder / "menu.png"), 1000u);
  EXPECT_EQ(run("screenshot " + (folder / "x.png").string() + " editor"),
            cli::Session::Status::error);  // no editor on screen
  EXPECT_EQ(run("screenshot " + (folder / "x.png").string() + " on ELSEWHERE"),
            cli::Session::Status::error);
  std::filesystem::remove_all(folder);
}

TEST(DrawnSurfaces, AFadingPanelSaysWhereItIsGoingAndWhen) {
  Velmora run;
  platform::PanelConfig config;
  config.size = Size{200, 100};
  config.level = 25;
  config.name = "fader";
  auto panel = run.mac().panels().makePanel(config);
  panel->orderFrontRegardless();
  panel->setAlpha(0.2, 0.5);
  run("advance 0.25");
  run("print panels");
  EXPECT_TRUE(run.printed("fader at 0,0 200x100 level 25 alpha 0.60, fading to 0.20 until 8.500"))
      << run.out.str();
  run("advance 0.3");
  run.out.str("");
  run("print panels");
  EXPECT_TRUE(run.printed("fader at 0,0 200x100 level 25 alpha 0.20\n")) << run.out.str();
  EXPECT_FALSE(run.printed("fading"));
}

}  // namespace
}  // namespace velmora
