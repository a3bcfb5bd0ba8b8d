// What the user sees on the virtual Mac, driven through the command line: the screenshots, and
// a panel that fades as `print panels` tells it. The editor and the tile's menu are
// tests/cli/surfaces.velmora.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <unistd.h>

#include "cli/session.h"
#include "core/virtual_loop.h"
#include "golden.h"
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
};

// The right half of the notched display as a person sees it: the notch, the tile beside it,
// the switch tag sprung in after a landing, and the tile's menu open under the tile, on
// screen, with desktop 1 in palette colour 5.
// `screenshot … menu` writes that menu as a PNG file.
TEST(DrawnSurfaces, ScreenshotsShowTheTileTheTagAndTheMenu) {
  Velmora run;
  run("edit 1 name Mail");
  run("edit 1 color 5");
  run("edit 1 done");
  run("press ctrl+opt+2");
  run("advance 0.8");
  run("click tile right");
  auto screen =
      sim::Compositor(run.mac()).draw("MAIN", platform::CanvasRect{600, 0, 912, 560}, 1.0);
  ASSERT_TRUE(screen);
  EXPECT_TRUE(velmora::testing::matchesGoldenPNG("cli/notched_screen.png", *screen));
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("velmora-menu-" + std::to_string(::getpid()) + ".png");
  EXPECT_EQ(run("screenshot " + file.string() + " menu"), cli::Session::Status::ok);
  EXPECT_GT(std::filesystem::file_size(file), 1000u);
  std::filesystem::remove(file);
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

  // On screen the panel's alpha applies on top of whatever opacity its content draws with.
  panel->setFrame(ScreenRect::make(600, 400, 200, 100), true);
  panel->setContent([](platform::Canvas& canvas, Size size) {
    canvas.setAlpha(1);
    canvas.fill(platform::Path::rect({0, 0, size.width, size.height}), platform::Color::white());
  });
  auto shown = [&] {
    auto screen = sim::Compositor(run.mac()).draw("MAIN", platform::CanvasRect{700, 530, 1, 1}, 1);
    return screen->bitmap().rgba;
  };
  std::vector<std::uint8_t> faded = shown();
  panel->setAlpha(1, 0);
  EXPECT_LT(faded[0] + faded[1] + faded[2], shown()[0] + shown()[1] + shown()[2] - 300);
}

}  // namespace
}  // namespace velmora
