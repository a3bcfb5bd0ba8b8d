#include "surfaces/switch_hud.h"

#include <gtest/gtest.h>

#include "drawing/glyph.h"
#include "drawing/recording_canvas.h"
#include "golden.h"
#include "platform/linux/drawing_host.h"
#include "spaces/engine_world.h"
#include "store/space_store.h"

namespace velmora {
namespace {

using testing::RecordingCanvas;

// Two displays of three desktops each; desktop 3 is named Mail. The main display's visible
// frame tops out at 875 (a 899-point screen under a 24-point menu bar).
struct HUDWorld : testing::EngineWorld {
  std::vector<std::uint64_t> ids;
  std::unique_ptr<SwitchHUD> hud;

  HUDWorld() : EngineWorld(test_support::drawingHost()) {
    Glyph::setServices({&mac.symbols(), &mac.platform().images, &mac.canvases(), {}});
    mac.addDisplay("D1", ScreenRect::make(0, 0, 1440, 899));
    ids = {mac.currentSpace("D1"), mac.addSpace("D1"), mac.addSpace("D1")};
    display("D2", 3, 1440);
    makeEngine();
    loop.runPending();
    store.update(desktop(3).space.managedID, [](SpaceMeta& m) { m.name = "Mail"; });
    hud = std::make_unique<SwitchHUD>(HUDServices{mac.platform(), options, *engine, presentation});
  }
  Desktop desktop(int number) const {
    for (const Desktop& d : engine->desktops()) {
      if (d.number == number) return d;
    }
    return {};
  }
  const platform::Panel& panel(const std::string& key) const { return hud->panel(key)->panel(); }
  // The card as the panel would draw it now, one call a line.
  std::string drawing(const std::string& key) {
    HUDContent content{hud->panel(key)->state, presentation};
    RecordingCanvas measure;
    Size card = content.layout(measure).card;
    RecordingCanvas canvas({card.width + 80, card.height + 80});
    content.draw(canvas, canvas.size(), kHUDVisiblePose);
    return canvas.dump("\n") + "\n";
  }
  // The card's layout as the panel would draw it now.
  HUDContent::Layout layout(const std::string& key) {
    auto canvas = mac.canvases().makeCanvas({1, 1}, 1);
    return HUDContent{hud->panel(key)->state, presentation}.layout(*canvas);
  }
};

TEST(SwitchHUD, ShowsOnTheDisplayThatChangedAndOnlyTheLatestShowHides) {
  HUDWorld w;
  w.options.setHudDuration(1.2);
  w.hud->show(w.desktop(3), "D1");
  const HUDPanel* p = w.hud->panel("D1");
  ASSERT_NE(p, nullptr);
  const platform::PanelConfig& config = p->panel().config();
  EXPECT_EQ(config.level, 1000);
  EXPECT_FALSE(config.interactive || config.hasShadow);
  EXPECT_EQ(config.collectionBehavior, 337u);
  EXPECT_EQ(config.animation, platform::WindowAnimation::none);
  // The panel, then the card: shown or hidden, its curve, and which show it belongs to.
  auto state = [&] {
    return std::string(p->panel().isVisible() ? "panel" : "no panel") +
           (p->state.visible() ? ", card in" : ", card out") +
           (p->state.curve() == HUDCurve::spring ? " (spring) " : " (ease-in) ") +
           std::to_string(p->generation);
  };
  // The card starts from its hidden pose and springs in on the next turn.
  EXPECT_EQ(p->state.pose(w.loop.now()), kHUDHiddenPose);
  std::vector<std::string> seen{state()};
  w.loop.runPending();
  seen.push_back(state());
  w.loop.advance(0.5);
  w.hud->show(w.desktop(2), "D1");
  // At 1.5 s the first show's hide step finds a newer show; 1.2 s after the second the card
  // eases out, and the panel goes when it is gone.
  for (double step : {1.0, 0.2, 0.23, 0.02}) {
    w.loop.advance(step);
    seen.push_back(state());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "panel, card out (ease-in) 1", "panel, card in (spring) 1",
                      "panel, card in (spring) 2", "panel, card out (ease-in) 2",
                      "panel, card out (ease-in) 2", "no panel, card out (ease-in) 2"}));
  EXPECT_FALSE(w.hud->isShowing());

  // Another display gets its own panel on its own screen, with its own timer; a display that
  // is gone falls back to the main screen.
  w.hud->show(w.desktop(4), "D2");
  w.hud->show(w.desktop(1), "D1");
  w.hud->show(w.desktop(1), "GONE");
  w.loop.runPending();
  EXPECT_GE(w.panel("D2").frame().minX(), 1440);
  EXPECT_LT(w.panel("D1").frame().maxX(), 1440);
  EXPECT_LT(w.panel("GONE").frame().maxX(), 1440);
  EXPECT_TRUE(w.hud->isShowing());
}

TEST(SwitchHUD, AnimatesBetweenPosesInLoopTime) {
  HUDWorld w;
  w.options.setHudDuration(1.0);
  w.hud->show(w.desktop(3), "D1");
  w.loop.runPending();
  const HUDState& state = w.hud->panel("D1")->state;
  // The spring in: fading and growing in, overshooting a little, settling on the visible pose;
  // then the ease-in out, slow first, gone after 0.18 s.
  std::string poses;
  auto pose = [&](const char* name, double base, double t) {
    HUDPose p = state.pose(base + t);
    poses += std::string(name) + " +" + testing::num(t) + ": opacity " + testing::num(p.opacity) +
             " scale " + testing::num(p.scale) + " down " + testing::num(p.offsetDown) + "\n";
  };
  const double start = w.loop.now();
  for (double t : {0.0, 0.05, 0.1, 0.2, 0.4, 0.9}) pose("in", start, t);
  EXPECT_FALSE(state.isAnimating(start + 0.9));
  w.loop.advance(1.0);
  for (double t : {0.0, 0.045, 0.09, 0.135, 0.181}) pose("out", w.loop.now(), t);
  EXPECT_TRUE(testing::matchesGolden("surfaces/switch_tag_poses.txt", poses));
}

TEST(SwitchHUD, PlacesThePanelByPositionAndMeasuredSize) {
  HUDWorld w;
  w.options.setHudPosition(HUDPosition::top);
  w.hud->show(w.desktop(3), "D1");
  ScreenRect frame = w.panel("D1").frame();
  HUDContent::Layout card = w.layout("D1");
  EXPECT_NEAR(frame.size.width, card.card.width + 80, 0.5);
  EXPECT_NEAR(frame.size.height, card.card.height + 80, 0.5);
  EXPECT_DOUBLE_EQ(frame.maxY(), 875 - 24);
  EXPECT_DOUBLE_EQ(frame.midX(), 720);

  w.options.setHudPosition(HUDPosition::bottom);
  w.hud->show(w.desktop(3), "D1");
  EXPECT_DOUBLE_EQ(w.panel("D1").frame().minY(), 48);
  w.options.setHudPosition(HUDPosition::center);
  w.hud->show(w.desktop(3), "D1");
  EXPECT_DOUBLE_EQ(w.panel("D1").frame().midY(), 875.0 / 2);

  // A name longer than the screen is wide: the panel is clamped to the screen's width.
  w.store.update(w.desktop(3).space.managedID,
                 [](SpaceMeta& m) { m.name = std::string(2000, 'W'); });
  w.hud->show(w.desktop(3), "D1");
  EXPECT_DOUBLE_EQ(w.panel("D1").frame().size.width, 1440);
}

TEST(SwitchHUD, CardLayoutFollowsSizeAndNumberSettings) {
  HUDWorld w;
  w.options.setHudShowNumber(true);
  w.hud->show(w.desktop(3), "D1");
  HUDContent::Layout named = w.layout("D1");
  EXPECT_EQ(named.title, "Mail");
  EXPECT_EQ(named.numberLine, "Desktop 3");
  w.hud->show(w.desktop(1), "D1");
  HUDContent::Layout unnamed = w.layout("D1");
  EXPECT_EQ(unnamed.title, "Desktop 1");
  EXPECT_FALSE(unnamed.numberLine);

  w.options.setHudShowNumber(false);
  HUDContent::Layout regular = w.layout("D1");
  w.options.setHudSize(HUDSize::large);
  w.hud->show(w.desktop(1), "D1");
  HUDContent::Layout large = w.layout("D1");
  EXPECT_DOUBLE_EQ(large.tile.width, 1.3 * regular.tile.width);
  EXPECT_NEAR(large.card.width, 1.3 * regular.card.width, 0.5);  // text widths round
  EXPECT_NEAR(large.card.height, 1.3 * regular.card.height, 1e-9);
  // The margin around the card stays 40 points.
  EXPECT_NEAR(w.panel("D1").frame().size.width, large.card.width + 80, 1e-9);

  // Drawn, one call a line: the card's fill and border inside the shadow's 40-point margin,
  // its tile, the title at the large size.
  EXPECT_TRUE(testing::matchesGolden("surfaces/switch_tag_large.txt", w.drawing("D1")));
}

TEST(SwitchHUD, ToastsUseTheirOwnPanelAndHideAllClearsEverything) {
  HUDWorld w;
  w.hud->show(w.desktop(3), "D1");
  w.hud->toast("Presentation mode on", "eye.slash.fill", 2);
  w.loop.runPending();
  EXPECT_TRUE(w.panel("D1").isVisible());
  EXPECT_TRUE(w.panel("toast").isVisible());
  HUDContent::Layout toast = w.layout("toast");
  EXPECT_EQ(toast.textLines, std::vector<std::string>{"Presentation mode on"});
  EXPECT_TRUE(testing::matchesGolden("surfaces/toast.txt", w.drawing("toast")));
  // A long sentence wraps within 380 points, a word too long for a line is cut; an unknown
  // symbol leaves only the text.
  std::string sentence;
  for (int i = 0; i < 40; ++i) sentence += "word ";
  w.hud->toast(sentence + std::string(600, 'x'), "no.such.symbol");
  toast = w.layout("toast");
  EXPECT_GT(toast.textLines.size(), 2u);
  EXPECT_LE(toast.textWidth, 380);
  EXPECT_EQ(toast.textLines.back().substr(toast.textLines.back().size() - 3), "\u2026");
  EXPECT_DOUBLE_EQ(toast.symbol.width, 0);

  w.hud->preview();
  EXPECT_EQ(w.hud->panel("preview")->state.desktop(), w.engine->currentDesktop());

  // Toasts and the preview go where the user works: the display with the active menu bar.
  w.mac.setActiveMenuBarDisplay("D2");
  w.hud->toast("Moved", "arrow.right");
  w.hud->preview();
  for (const char* key : {"toast", "preview"}) {
    EXPECT_GE(w.panel(key).frame().minX(), 1440) << key;
  }
  EXPECT_EQ(w.hud->panel("preview")->state.desktop()->space.displayUUID, "D2");

  w.hud->hideAll();
  EXPECT_FALSE(w.hud->isShowing());
  EXPECT_FALSE(w.panel("toast").isVisible());
  std::uint64_t generation = w.hud->panel("toast")->generation;
  w.loop.advance(5);  // the cancelled steps find a newer generation and do nothing
  EXPECT_EQ(w.hud->panel("toast")->generation, generation);
  EXPECT_FALSE(w.panel("toast").isVisible());
}

}  // namespace
}  // namespace velmora
