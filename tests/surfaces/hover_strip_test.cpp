// The strip at the top edge on the virtual Mac: when resting the pointer brings it in, where it
// opens, what keeps it and what takes it away, and where its clicks land.
#include "surfaces/hover_strip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "spaces/engine_world.h"

namespace velmora {
namespace {

std::string joined(const MemoryLog& log) {
  std::string out;
  for (const std::string& line : log.lines) out += line + "\n";
  return out;
}

// Desktops on a 1512 × 982 display (1 is current), Mail with a window on desktop 2.
struct StripWorld : testing::EngineWorld {
  std::vector<std::uint64_t> ids;
  platform::pid_t mail = 0;
  std::unique_ptr<HoverStrip> strip;

  explicit StripWorld(int desktops = 4) {
    ids = display("MAIN", desktops);
    sim::SimApp app;
    app.name = "Mail";
    mail = mac.addApplication(app);
    mac.addWindow(mail, {ids[1]}, AXRect::make(100, 100, 600, 400));
    makeEngine();
    loop.runPending();
    strip = std::make_unique<HoverStrip>(
        HoverStripServices{mac.platform(), *engine, options, presentation,
                           [this] { return mac.missionControlOpen(); }});
    strip->start();
    loop.runPending();
  }
  void moveTo(double x, double y) {
    mac.movePointer({x, y});
    loop.runPending();
  }
  void toTop(double x = 756) { moveTo(x, 982); }
  void wait(double seconds) { loop.advance(seconds); }
  const sim::VirtualPanel* panel() { return mac.panels().named(HoverPanel::kName); }
  bool shown() { return panel() && panel()->isVisible(); }
  // The centre of desktop `i`'s card, or of its application icon `k`, on the screen.
  ScreenPoint onItem(std::size_t i, std::optional<std::size_t> k = std::nullopt) {
    const HoverStripItem& item = strip->panel()->view().items()[i];
    platform::CanvasRect r = k ? item.icons[*k].frame : item.card;
    ScreenRect f = panel()->frame();
    return {f.minX() + r.x + r.width / 2, f.maxY() - (r.y + r.height / 2)};
  }
  int current() { return engine->currentDesktop()->number; }
};

TEST(HoverStrip, RestingAtTheTopEdgeLongerThanTheDelayBringsItInBelowTheMenuBar) {
  StripWorld w;
  // Shorter than the delay, then away: nothing.
  w.toTop();
  w.wait(0.3);
  w.moveTo(756, 600);
  w.wait(1);
  EXPECT_FALSE(w.shown());
  EXPECT_FALSE(w.strip->isDwelling());

  // Along the band the one timer keeps running; it opens 0.45 s after the pointer arrived.
  const double arrived = w.loop.now();
  w.toTop(700);
  w.wait(0.2);
  w.toTop(800);
  w.wait(0.2);
  EXPECT_FALSE(w.shown());
  w.wait(0.06);
  ASSERT_TRUE(w.shown());
  EXPECT_NEAR(w.loop.now() - arrived, 0.46, 1e-9);

  // Centred, 6 points below the menu bar, fading in over 0.16 s.
  const ScreenRect f = w.panel()->frame();
  const Size natural = w.strip->panel()->view().size();
  EXPECT_DOUBLE_EQ(f.midX(), 756);
  EXPECT_DOUBLE_EQ(f.maxY(), 982 - 24 - 6);
  EXPECT_DOUBLE_EQ(f.size.width, natural.width);
  EXPECT_EQ(w.strip->panel()->view().items().size(), 4u);
  EXPECT_EQ(w.panel()->config().level, 101);
  EXPECT_TRUE(w.panel()->config().interactive);
  auto fade = w.panel()->alphaAnimation();
  ASSERT_TRUE(fade.has_value());
  EXPECT_DOUBLE_EQ(fade->duration, HoverStrip::kFadeIn);
  EXPECT_DOUBLE_EQ(fade->to, 1);
}

TEST(HoverStrip, OnlyTheCentreOfTheTopEdgeTriggersUnlessTheWholeEdgeIsChosen) {
  struct Case {
    HoverZone zone;
    double x;
    double y;
    bool opens;
  };
  // The centre zone of a 1512-point screen spans 756 ± 166.32.
  const std::vector<Case> cases{
      {HoverZone::center, 756 - 166.3, 982, true}, {HoverZone::center, 756 - 166.4, 982, false},
      {HoverZone::center, 756 + 166.3, 981, true}, {HoverZone::center, 0, 982, false},
      {HoverZone::center, 756, 979.9, false},      {HoverZone::wholeEdge, 0, 982, true},
      {HoverZone::wholeEdge, 1511, 980, true},     {HoverZone::wholeEdge, 1511, 979, false},
  };
  for (const Case& c : cases) {
    StripWorld w;
    w.options.setHoverZone(c.zone);
    w.strip->pointerMoved({c.x, c.y});
    w.mac.movePointer({c.x, c.y});  // where the timer finds it again
    w.loop.runPending();
    w.wait(0.5);
    EXPECT_EQ(w.shown(), c.opens) << c.x << ", " << c.y;
  }
}

TEST(HoverStrip, LeavingBrieflyKeepsItAndLeavingForLongerFadesItOut) {
  StripWorld w;
  w.toTop();
  w.wait(0.5);
  ASSERT_TRUE(w.shown());
  const ScreenRect f = w.panel()->frame();

  // Within 40 points of the panel is still near it.
  w.moveTo(f.midX(), f.minY() - 35);
  w.wait(1);
  EXPECT_TRUE(w.shown());

  // Away for 0.3 s and back over the strip: it stays.
  w.moveTo(f.midX(), 300);
  w.wait(0.3);
  w.moveTo(f.midX(), f.midY());
  w.wait(1);
  EXPECT_TRUE(w.shown());

  // Away for good: the leave delay, then a 0.14 s fade, then off screen.
  w.moveTo(f.midX(), 300);
  w.wait(0.34);
  EXPECT_TRUE(w.shown());
  EXPECT_DOUBLE_EQ(w.panel()->alpha(), 1);
  w.wait(0.02);
  EXPECT_TRUE(w.shown());
  auto fade = w.panel()->alphaAnimation();
  ASSERT_TRUE(fade.has_value());
  EXPECT_DOUBLE_EQ(fade->to, 0);
  EXPECT_DOUBLE_EQ(fade->duration, HoverStrip::kFadeOut);
  w.wait(0.15);
  EXPECT_FALSE(w.shown());

  // The panel made at the first opening comes back for the next one.
  const HoverPanel* first = w.strip->panel();
  w.toTop();
  w.wait(0.5);
  EXPECT_TRUE(w.shown());
  EXPECT_EQ(w.strip->panel(), first);
}

TEST(HoverStrip, AClickOnACardSwitchesThereAndPinsTheStripForAMoment) {
  StripWorld w;
  w.toTop();
  w.wait(0.5);
  ASSERT_TRUE(w.shown());
  EXPECT_EQ(w.strip->panel()->view().helpAt({0, 0}), "");
  w.mac.click(w.onItem(2));
  w.loop.runPending();
  const double clicked = w.loop.now();
  w.moveTo(756, 200);  // away at once
  w.wait(1.4);
  EXPECT_TRUE(w.shown());
  EXPECT_EQ(w.current(), 3);
  EXPECT_NE(joined(w.log).find("hover strip"), std::string::npos) << joined(w.log);
  EXPECT_NEAR(w.strip->pinnedUntil() - clicked, HoverStrip::kClickPin, 1e-9);

  // Once the pin is over, the next movement away starts the leave delay.
  w.wait(0.2);
  w.moveTo(756, 210);
  w.wait(0.36 + 0.15);
  EXPECT_FALSE(w.shown());

  // The explicit command pins it for 4 s, wherever the pointer is.
  w.strip->showStrip(HoverStrip::kCommandPin);
  w.loop.runPending();
  w.moveTo(756, 220);
  w.wait(3.9);
  w.moveTo(756, 230);  // still pinned: no leave delay starts
  w.wait(1);
  EXPECT_TRUE(w.shown());
  w.moveTo(756, 240);
  w.wait(0.6);
  EXPECT_FALSE(w.shown());
}

TEST(HoverStrip, AClickOnAnApplicationIconLandsOnItsDesktopWithTheApplicationInFront) {
  StripWorld w;
  w.toTop();
  w.wait(0.5);
  ASSERT_TRUE(w.shown());
  const HoverStripItem& second = w.strip->panel()->view().items()[1];
  ASSERT_EQ(second.icons.size(), 1u);
  EXPECT_EQ(second.icons[0].help, "Open Mail here");
  EXPECT_EQ(second.help, w.presentation.title(second.desktop) + " · Desktop 2");
  w.mac.click(w.onItem(1, 0));
  w.wait(1);
  EXPECT_EQ(w.current(), 2);
  EXPECT_EQ(w.mac.frontmostPID(), w.mail);
  EXPECT_NE(joined(w.log).find("hover strip app"), std::string::npos) << joined(w.log);
}

TEST(HoverStrip, MissionControlKeepsItAwayAndTakesItDown) {
  StripWorld w;
  // Opening while the pointer dwells: the next movement cancels the timer.
  w.toTop();
  w.wait(0.2);
  w.mac.openMissionControl();
  w.loop.runPending();
  w.toTop(760);
  w.wait(1);
  EXPECT_FALSE(w.shown());
  // Resting at the top while it is open brings nothing either.
  w.toTop(770);
  w.wait(1);
  EXPECT_FALSE(w.shown());
  w.mac.closeMissionControl();
  w.loop.runPending();

  // Opening while the strip shows: it fades out, even pinned by the command.
  w.strip->showStrip(HoverStrip::kCommandPin);
  w.loop.runPending();
  ASSERT_TRUE(w.shown());
  w.mac.openMissionControl();
  w.strip->missionControlChanged(true);
  w.wait(0.2);
  EXPECT_FALSE(w.shown());
}

TEST(HoverStrip, ADisplayUnpluggedUnderTheStripTakesItAlong) {
  StripWorld w;
  w.display("SIDE", 2, 1512);
  w.loop.runPending();
  w.moveTo(1512 + 756, 982);
  w.wait(0.5);
  ASSERT_TRUE(w.shown());
  EXPECT_DOUBLE_EQ(w.panel()->frame().midX(), 1512 + 756);

  // Resting at the top of the other display moves it there, without a moment off screen.
  w.toTop();
  w.wait(0.3);
  EXPECT_DOUBLE_EQ(w.panel()->frame().midX(), 1512 + 756);
  w.wait(0.2);
  EXPECT_TRUE(w.shown());
  EXPECT_DOUBLE_EQ(w.panel()->frame().midX(), 756);
  w.wait(1);
  EXPECT_TRUE(w.shown());
  EXPECT_DOUBLE_EQ(w.panel()->alpha(), 1);
  w.moveTo(1512 + 756, 982);
  w.wait(0.5);
  ASSERT_DOUBLE_EQ(w.panel()->frame().midX(), 1512 + 756);

  w.mac.userDetachDisplay("SIDE");
  w.wait(0.1);
  EXPECT_FALSE(w.shown());
  // The pointer went back to the screen that is left; the strip comes back there.
  w.toTop();
  w.wait(0.5);
  EXPECT_TRUE(w.shown());
  EXPECT_DOUBLE_EQ(w.panel()->frame().midX(), 756);
}

TEST(HoverStrip, ManyDesktopsOnANarrowScreenStayWithinItsWidth) {
  StripWorld w(24);
  w.strip->showStrip(0);
  w.loop.runPending();
  ASSERT_TRUE(w.shown());
  const ScreenRect f = w.panel()->frame();
  EXPECT_DOUBLE_EQ(f.size.width, 1512 - 40);
  EXPECT_DOUBLE_EQ(f.midX(), 756);
  const auto& items = w.strip->panel()->view().items();
  ASSERT_EQ(items.size(), 24u);
  EXPECT_LE(items.back().frame.x + items.back().frame.width, f.size.width - 10 + 1e-9);
}

TEST(HoverStrip, IgnoresThePointerWhenTurnedOffOrOffEveryScreenAndLetsGoOfItsMonitors) {
  StripWorld w;
  EXPECT_EQ(w.mac.pointerMonitors().globalCount(), 1);
  EXPECT_EQ(w.mac.pointerMonitors().localCount(), 1);

  w.options.setHoverEnabled(false);
  w.toTop();
  w.wait(1);
  EXPECT_FALSE(w.shown());
  w.options.setHoverEnabled(true);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (ScreenPoint p : {ScreenPoint{1e12, 1e12}, ScreenPoint{-5, 982}, ScreenPoint{nan, nan}}) {
    w.strip->pointerMoved(p);
    EXPECT_FALSE(w.strip->isDwelling()) << p.x << ", " << p.y;
  }

  w.toTop();
  w.wait(0.5);
  ASSERT_TRUE(w.shown());
  w.strip->stop();
  w.wait(0.2);
  EXPECT_FALSE(w.shown());
  EXPECT_EQ(w.mac.pointerMonitors().globalCount(), 0);
  EXPECT_EQ(w.mac.pointerMonitors().localCount(), 0);
  w.toTop();
  w.wait(1);
  EXPECT_FALSE(w.shown());
}

}  // namespace
}  // namespace velmora
