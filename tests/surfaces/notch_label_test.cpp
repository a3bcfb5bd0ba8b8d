#include "surfaces/notch_label.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "drawing/glyph.h"
#include "golden.h"
#include "platform/linux/drawing_host.h"
#include "spaces/engine_world.h"

namespace velmora {
namespace {

// A 14-inch MacBook Pro with three desktops (the third named Mail and current), and the label.
struct NotchWorld : testing::EngineWorld {
  MemoryLog log;
  std::vector<std::uint64_t> ids;
  std::unique_ptr<NotchLabel> label;
  TilePresence presence = TilePresence::inBar;
  int announcements = 0;
  std::vector<std::string> clicks;
  ObserverToken observer;

  NotchWorld() : EngineWorld(test_support::drawingHost()) {
    Glyph::setServices({&mac.symbols(), &mac.platform().images, &mac.canvases(), {}});
    sim::SimDisplay& d1 = mac.addDisplay("D1", ScreenRect::make(0, 0, 1512, 982));
    d1.notch = Size{185, 32};
    d1.menuBarHeight = 32;
    ids = {mac.currentSpace("D1"), mac.addSpace("D1"), mac.addSpace("D1")};
    for (sim::SimSpace& space : d1.spaces) space.managedID = testing::mid(space.id).raw();
    mac.userSwitchTo(ids[2]);
    makeEngine();
    loop.runPending();
    store.update(testing::mid(ids[2]), [](SpaceMeta& m) { m.name = "Mail"; });
    observer = center.observe(kNotchLabelChanged, [this] { ++announcements; });
  }

  NotchLabel& make() {
    label = std::make_unique<NotchLabel>(NotchServices{
        mac.platform(), center, *engine, options, presentation, log, [this] { return presence; }});
    label->setOnClick(
        [this](ScreenRect, bool right) { clicks.push_back(right ? "right" : "left"); });
    label->start();
    loop.runPending();
    return *label;
  }
  const NotchLabel::Panel* panel() {
    auto it = label->panels().find("D1");
    return it == label->panels().end() ? nullptr : &it->second;
  }
  // What the user sees of the label: where, how wide, how opaque, whether it takes clicks.
  std::string seen() {
    const NotchLabel::Panel* p = panel();
    if (!p || !p->panel->isVisible()) return "none";
    ScreenRect f = p->panel->frame();
    return "x " + testing::num(f.minX()) + " w " + testing::num(f.size.width) + " h " +
           testing::num(f.size.height) + " alpha " + testing::num(p->panel->alpha()) +
           (p->takesClicks ? " clicks \"" + p->panel->toolTip() + "\"" : "");
  }
  void tile(TilePresence now) {
    presence = now;
    center.post(kMenuBarTileChanged);
    loop.runPending();
  }
};

platform::ScreenInfo screen(ScreenRect frame, std::optional<ScreenRect> left,
                            std::optional<ScreenRect> right) {
  platform::ScreenInfo s;
  s.frame = frame;
  s.auxiliaryTopLeftArea = left;
  s.auxiliaryTopRightArea = right;
  return s;
}

TEST(NotchGeometry, FindsTheNotchBetweenTheAuxiliaryAreasOrNone) {
  ScreenRect frame = ScreenRect::make(1512, 0, 1512, 982);
  struct Case {
    const char* what;
    platform::ScreenInfo screen;
    std::string notch;
  } cases[] = {
      {"global areas",
       screen(frame, ScreenRect::make(1512, 950, 663, 32), ScreenRect::make(2360, 950, 664, 32)),
       "2175 950 185 32"},
      {"screen-local areas",
       screen(frame, ScreenRect::make(0, 950, 663, 32), ScreenRect::make(848, 950, 652, 32)),
       "2175 950 185 32"},
      {"no right area", screen(frame, ScreenRect::make(1512, 950, 663, 32), std::nullopt), "none"},
      {"zero width",
       screen(frame, ScreenRect::make(1512, 950, 756, 32), ScreenRect::make(2268, 950, 756, 32)),
       "none"},
      {"past the screen",
       screen(frame, ScreenRect::make(1000, 950, 10, 32), ScreenRect::make(3100, 950, 10, 32)),
       "none"},
      {"wider than half",
       screen(frame, ScreenRect::make(1512, 950, 100, 32), ScreenRect::make(2924, 950, 100, 32)),
       "1612 950 1312 32"},
  };
  for (const Case& c : cases) {
    std::vector<NotchArea> found = notchGeometry({c.screen});
    std::string got = "none";
    if (!found.empty()) {
      const ScreenRect& n = found.front().notch;
      got = testing::num(n.minX()) + " " + testing::num(n.minY()) + " " +
            testing::num(n.size.width) + " " + testing::num(n.size.height);
    }
    EXPECT_EQ(got, c.notch) << c.what;
  }
}

TEST(NotchLabelShape, RoundsOnlyTheBottomCornerAwayFromTheNotch) {
  auto corners = [](NotchSide side, double radius, Size size) {
    std::string out;
    platform::Path path = notchLabelShape(side, radius, size);
    for (const auto& e : path.elements()) {
      if (e.op == platform::Path::Op::close) continue;
      const auto& p = e.op == platform::Path::Op::curveTo ? e.points[2] : e.points[0];
      out += std::string(e.op == platform::Path::Op::curveTo ? "~" : "") + testing::num(p.x) + "," +
             testing::num(p.y) + " ";
    }
    return out;
  };
  EXPECT_EQ(corners(NotchSide::left, 9, {120, 32}), "0,0 120,0 120,32 9,32 ~0,23 ");
  EXPECT_EQ(corners(NotchSide::right, 9, {120, 32}), "0,0 120,0 120,23 ~111,32 0,32 ");
  // A label lower than twice the radius is rounded by half its height.
  EXPECT_EQ(corners(NotchSide::right, 9, {120, 10}), "0,0 120,0 120,5 ~115,10 0,10 ");
}

TEST(NotchLabel, FollowsSideAndContentAndCapsItsWidth) {
  NotchWorld w;
  w.options.setNotchEnabled(true);
  NotchLabel& label = w.make();
  // The notch spans 663.5…848.5; the label reaches 40 points in under it.
  std::string left = w.seen();
  EXPECT_EQ(left.substr(0, 2), "x ");
  const ScreenRect f = w.panel()->panel->frame();
  EXPECT_DOUBLE_EQ(f.maxX(), 663.5 + NotchLabel::kUnderNotch);
  EXPECT_EQ(f.size.height, 32);
  EXPECT_EQ(f.minY(), 950);
  EXPECT_EQ(w.panel()->panel->alpha(), 1);
  EXPECT_TRUE(label.isVisible());
  EXPECT_EQ(w.announcements, 1);

  w.options.setNotchSide(NotchSide::right);
  w.options.setNotchContent(NotchContent::iconOnly);
  label.refresh();
  const ScreenRect r = w.panel()->panel->frame();
  EXPECT_DOUBLE_EQ(r.minX(), 848.5 - NotchLabel::kUnderNotch);
  EXPECT_LT(r.size.width, f.size.width);  // no name to fit

  w.options.setNotchContent(NotchContent::iconAndName);
  for (const char* name : {"🚀🚀🚀", ""}) {
    std::string long_name = *name ? name : std::string(2000, 'W');
    w.store.update(testing::mid(w.ids[2]), [&](SpaceMeta& m) { m.name = long_name; });
    label.refresh();
    EXPECT_LE(w.panel()->panel->frame().size.width, NotchLabel::kMaxWidth) << long_name.size();
    EXPECT_GT(w.panel()->panel->frame().size.width, NotchLabel::kUnderNotch);
  }
  EXPECT_EQ(w.panel()->panel->frame().size.width, 300) << "not " << w.seen();
}

TEST(NotchLabel, StandsInForADroppedTileAndStepsBackWhenItHasRoomAgain) {
  NotchWorld w;
  w.options.setNotchEnabled(false);
  w.make();
  EXPECT_EQ(w.seen(), "none");

  w.tile(TilePresence::dropped);
  std::string shown = w.seen();
  EXPECT_NE(shown.find("clicks \"Mail · Desktop 3 · click for your desktops, right-click for "
                       "the menu\""),
            std::string::npos)
      << shown;
  EXPECT_EQ(w.log.lines,
            std::vector<std::string>{"notch label stands in for the tile the bar dropped"});
  EXPECT_TRUE(w.label->standingIn());

  // A click on the label does the tile's job, either button.
  ScreenRect f = w.panel()->panel->frame();
  w.mac.click({f.minX() + 10, f.midY()});
  w.loop.runPending();
  w.mac.rightClick({f.minX() + 10, f.midY()});
  w.loop.runPending();
  EXPECT_EQ(w.clicks, (std::vector<std::string>{"left", "right"}));

  // The tile finds room again: the label leaves, once.
  w.tile(TilePresence::dropped);
  w.tile(TilePresence::inBar);
  EXPECT_EQ(w.seen(), "none");
  EXPECT_EQ(w.log.lines.back(), "notch label steps back; the tile is on the bar again");
  EXPECT_EQ(w.log.lines.size(), 2u);
  EXPECT_EQ(w.announcements, 2);
  w.label->click("D1", false);
  EXPECT_EQ(w.clicks.size(), 2u);  // a hidden label hears nothing

  // Shown by the user's choice with the tile in the bar, it neither takes clicks nor logs.
  w.options.setNotchEnabled(true);
  w.label->refresh();
  EXPECT_EQ(w.seen().find("clicks"), std::string::npos);
  EXPECT_EQ(w.log.lines.size(), 2u);
}

TEST(NotchLabel, StepsAsideWhileMissionControlIsOpenAndLeavesWithItsDisplay) {
  NotchWorld w;
  w.options.setNotchEnabled(true);
  w.display("D2", 1, 1512);
  w.loop.runPending();
  NotchLabel& label = w.make();
  EXPECT_EQ(label.panels().size(), 1u);  // only the notched screen

  label.setMissionControlOpen(true);
  EXPECT_FALSE(label.isVisible());
  EXPECT_EQ(w.announcements, 2);
  EXPECT_EQ(label.report(),
            std::vector<std::string>{label.report().front()});  // one notched screen described
  EXPECT_NE(label.report().front().find("away for Mission Control"), std::string::npos);
  label.setMissionControlOpen(false);
  EXPECT_TRUE(label.isVisible());
  EXPECT_EQ(w.announcements, 3);
  EXPECT_NE(label.report().front().find("showing \"Mail\""), std::string::npos)
      << label.report().front();

  // The notched display goes while its label shows: no label is left for it.
  w.mac.userDetachDisplay("D1");
  w.loop.advance(1);
  EXPECT_TRUE(label.panels().empty());
  EXPECT_FALSE(label.isVisible());
  EXPECT_EQ(w.announcements, 4);
  EXPECT_TRUE(label.report().empty());
}

TEST(NotchLabel, GhostsForASwipeAndComesBackSettledOrLanded) {
  NotchWorld w;
  w.options.setNotchEnabled(true);
  NotchLabel& label = w.make();

  // A swipe to the left: the label fades out while it runs and comes back as soon as the
  // swipe has landed on the desktop before.
  w.mac.swipe(sim::VirtualMac::Direction::left);
  double ghostedAt = -1;
  for (int i = 0; i < 40 && ghostedAt < 0; ++i) {
    w.loop.advance(0.05);
    if (label.ghosted()) ghostedAt = w.loop.now();
  }
  ASSERT_GT(ghostedAt, 0);
  w.loop.advance(NotchLabel::kFadeOut);
  EXPECT_EQ(w.panel()->panel->alpha(), 0);
  w.loop.advance(3);
  EXPECT_FALSE(label.ghosted());
  EXPECT_EQ(w.panel()->panel->alpha(), 1);
  ASSERT_FALSE(w.log.lines.empty());
  EXPECT_EQ(w.log.lines.back().rfind("notch label ghosted for a swipe, back (landed) after ", 0),
            0u)
      << w.log.lines.back();
}

TEST(NotchLabel, ALateSettledCheckFromAnEarlierSwipeIsIgnored) {
  NotchWorld w;
  w.options.setNotchEnabled(true);
  NotchLabel& label = w.make();
  auto backAt = [&](double limit) {
    while (label.ghosted() && w.loop.now() < limit) w.loop.advance(0.01);
    return w.loop.now();
  };
  // Swipes past the last desktop: nothing lands, so only the settled checks bring it back.
  w.mac.swipe(sim::VirtualMac::Direction::right);
  w.loop.advance(0.8);
  ASSERT_TRUE(label.ghosted()) << (w.log.lines.empty() ? "" : w.log.lines.back());
  std::uint64_t before = label.unghostGeneration();
  // A second swipe before the first one settled: the first one's check finds a later
  // generation and leaves the label faded.
  double second = w.loop.now();
  w.mac.swipe(sim::VirtualMac::Direction::right);
  w.loop.advance(0.2);
  EXPECT_GT(label.unghostGeneration(), before);
  double back = backAt(second + 5);
  EXPECT_FALSE(label.ghosted());
  EXPECT_GT(back, second + sim::VirtualMac::kSwipeDuration + NotchLabel::kSettleWindow - 0.05);
  ASSERT_FALSE(w.log.lines.empty());
  EXPECT_NE(w.log.lines.back().find("back (settled)"), std::string::npos) << w.log.lines.back();
  EXPECT_EQ(
      std::count_if(w.log.lines.begin(), w.log.lines.end(),
                    [](const std::string& l) { return l.find("ghosted") != std::string::npos; }),
      1);
}

}  // namespace
}  // namespace velmora
