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
  // Put away as a returning user has it, so the window does not hide the tag.
  EXPECT_EQ(run("click first run dismiss"), cli::Session::Status::ok);
  run("edit 1 name Mail");
  run("edit 1 color 5");
  run("edit 1 done");
  run("press cmd+w");  // the settings window closes, as the user does when done
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

// A text field as the user sees and uses it: the placeholder while empty, what is typed once
// a click has made its panel key, a caret only while the panel is key, and text that never
// spills out of the field (a long one shows its end while being edited).
TEST(DrawnSurfaces, ATextFieldShowsWhatIsTypedInsideItsFrameAndACaretWhileKey) {
  Velmora run;
  platform::PanelConfig config;
  config.size = Size{300, 60};
  config.level = 8;
  config.interactive = true;
  config.name = "search";
  auto panel = run.mac().panels().makePanel(config);
  panel->setFrame(ScreenRect::make(400, 400, 300, 60), true);
  panel->setContent([](platform::Canvas& canvas, Size size) {
    canvas.fill(platform::Path::rect({0, 0, size.width, size.height}), platform::Color::black());
  });
  auto field = panel->addTextField();
  field->setFrame({20, 10, 200, 40});
  field->setStyle({platform::Font::system(20), platform::Color::white(), "Search",
                   platform::Color::white(0.35)});
  field->focus();
  panel->orderFrontRegardless();

  // Pixels brighter than `level` in an area of the display (points from its top-left); the
  // panel's top-left is at 400, 522 and the field's at 420, 532.
  auto ink = [&](platform::CanvasRect area, int level = 60) {
    auto screen = sim::Compositor(run.mac()).draw("MAIN", area, 1);
    const auto& rgba = screen->bitmap().rgba;
    int count = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) count += rgba[i] > level;
    return count;
  };
  const platform::CanvasRect inField{420, 532, 200, 40};
  const platform::CanvasRect caretAtStart{420, 532, 2, 40};
  const platform::CanvasRect beside{400, 522, 20, 60}, after{620, 522, 80, 60};

  EXPECT_GT(ink(inField), 0) << "the placeholder";
  EXPECT_EQ(ink(inField, 200), 0) << "in its dim colour, and no caret before the panel is key";

  EXPECT_EQ(run("type Mail"), cli::Session::Status::error) << "not key: nowhere to type";
  run("click panel search");
  EXPECT_TRUE(panel->isKey());
  EXPECT_GT(ink(caretAtStart, 200), 0) << "the caret before the placeholder";
  run("type Mail");
  EXPECT_EQ(field->text(), "Mail");
  run("print keys");
  EXPECT_TRUE(run.printed("key 46 → Velmora typed \"M\"")) << run.out.str();
  int whileKey = ink(inField);
  run("click 50 50");
  EXPECT_FALSE(panel->isKey());
  EXPECT_GT(ink(inField, 200), 0) << "the text stays";
  EXPECT_LT(ink(inField), whileKey) << "the caret goes";

  run("click panel search");
  run("type the quick brown fox jumps over the lazy dog");
  EXPECT_EQ(ink(beside) + ink(after), 0) << "nothing drawn outside the field";
  EXPECT_GT(ink({600, 532, 20, 40}, 200), 0) << "the end of the text and the caret";
}

}  // namespace
}  // namespace velmora
