#include "surfaces/pills.h"

#include <gtest/gtest.h>

#include "drawing/glyph.h"
#include "golden.h"
#include "platform/linux/drawing_host.h"
#include "spaces/engine_world.h"

namespace velmora {
namespace {

using testing::num;

// A 1512 × 982 panel whose desktop bar spans its top 182 points; thumbnails stand 30 points
// above the bar's bottom edge, with the system's labels in between.
constexpr double kBarBottom = 800;
constexpr double kBarHeight = 182;

struct PillWorld : testing::EngineWorld {
  PillServices services{
      .loop = loop, .canvases = mac.canvases(), .settings = options, .presentation = presentation};
  std::unique_ptr<platform::Canvas> measure;

  PillWorld() : EngineWorld(test_support::drawingHost()) {
    Glyph::setServices({&mac.symbols(), &mac.platform().images, &mac.canvases(), {}});
    measure = mac.canvases().makeCanvas({1, 1}, 1);
  }
  Desktop desktop(int number, const std::string& name = "", SpaceIcon icon = {},
                  TileColor color = TileColor::automatic()) {
    ManagedID id(500 + number);
    store.update(id, [&](SpaceMeta& m) {
      m.name = name;
      m.icon = icon;
      m.color = color;
    });
    return testing::desktop(number, id);
  }
  // A pill over a 200 × 110 thumbnail whose left edge is at `x`.
  static Pill thumbnail(const Desktop& d, double x, double width = 200, double labelWidth = 70) {
    return {ScreenRect::make(x, kBarBottom + 30, width, 110),
            ScreenRect::make(0, kBarBottom, 1512, kBarHeight), labelWidth, d};
  }
  // A pill over the name label of a bar collapsed to 40 points.
  static Pill collapsedLabel(const Desktop& d, double x, double labelWidth = 70) {
    return {ScreenRect::make(x, 947, labelWidth, 30), ScreenRect::make(0, 942, 1512, 40),
            labelWidth, d};
  }
};

std::string pose(const PillsView& view, SpaceID id) {
  for (const PillsView::LayerState& layer : view.layers()) {
    if (layer.desktop == id) {
      return num(layer.position.x) + "," + num(layer.position.y) + " @" + num(layer.opacity);
    }
  }
  return "none";
}

// Every rule of a pill's size and place, one case a line; the checks beside the table are the
// rules a wrong golden would most likely hide.
TEST(Pills, LayOutOverThumbnailsAndCollapsedLabelsAsTheGoldenHolds) {
  PillWorld w;
  const Desktop mail = w.desktop(3, "Mail", SpaceIcon::symbol("envelope.fill"));
  const Desktop longName =
      w.desktop(5, "Quarterly planning and the long road to the offsite in spring");
  const Desktop unnamed = w.desktop(4);
  struct Case {
    const char* name;
    Pill pill;
    PillStyle style;
  };
  const PillStyle below{};
  const PillStyle inside{.placement = PillPlacement::insidePreview};
  const PillStyle os27{.extraWidth = 2, .collapsedMinHeight = 23};
  const std::vector<Case> cases{
      {"below, short name covers the label", PillWorld::thumbnail(unnamed, 100, 200, 90), below},
      {"below, icon", PillWorld::thumbnail(mail, 400), below},
      {"below, number shown", PillWorld::thumbnail(mail, 400), {.showNumber = true}},
      {"below, raised 5", PillWorld::thumbnail(mail, 400), {.offsetY = 5}},
      {"inside, long name truncated", PillWorld::thumbnail(longName, 700), inside},
      {"inside, narrow thumbnail keeps 60", PillWorld::thumbnail(longName, 700, 40), inside},
      {"inside, short name", PillWorld::thumbnail(mail, 400), inside},
      {"collapsed, below", PillWorld::collapsedLabel(mail, 300), below},
      {"collapsed, inside", PillWorld::collapsedLabel(mail, 300), inside},
      {"collapsed, long name", PillWorld::collapsedLabel(longName, 300), inside},
      {"collapsed, newer system", PillWorld::collapsedLabel(unnamed, 300), os27},
      {"below, newer system", PillWorld::thumbnail(unnamed, 100, 200, 90), os27},
      {"scale 1.5", PillWorld::thumbnail(mail, 400), {.scale = 1.5}},
  };
  std::string out;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PillLayout l = layoutPill(c.pill, c.style, w.presentation, *w.measure, 2);
    std::string shown = w.measure->truncateTail(l.text, l.font, l.textWidth);
    out += std::string(c.name) + ": " + (l.collapsed ? "collapsed " : "") + num(l.size.width) +
           "×" + num(l.size.height) + " at " + num(l.centre.x) + "," + num(l.centre.y) + " text " +
           num(l.textWidth) + "/" + num(l.maxTextWidth) + " \"" + shown + "\" font " +
           num(l.font.pointSize) + " radius " + num(l.cornerRadius) + " icon " + num(l.iconPart) +
           " image " + num(l.imageSize().width) + "×" + num(l.imageSize().height) + "\n  key " +
           l.cacheKey + "\n";

    const ScreenRect& a = c.pill.anchor;
    if (l.collapsed) {
      EXPECT_EQ(l.centre.y, a.midY());
      EXPECT_EQ(l.size.width, std::max(l.naturalWidth, c.pill.labelWidth + c.style.extraWidth));
    } else if (c.style.placement == PillPlacement::belowPreview) {
      EXPECT_EQ(l.centre.y, (a.minY() + kBarBottom) / 2 + c.style.offsetY);
      EXPECT_GE(l.size.width, c.pill.labelWidth + c.style.extraWidth);
    } else {
      EXPECT_EQ(l.centre.y, a.minY() + l.size.height / 2 + 6);
    }
    if (l.textWidth < w.measure->measureText(l.text, l.font).width) {
      EXPECT_TRUE(shown.ends_with("…"));
    }
  }
  EXPECT_TRUE(testing::matchesGolden("surfaces/pills_layout.txt", out));

  // The short name's pill is exactly the label and the extra width, hiding the label.
  PillLayout shortName = layoutPill(cases[0].pill, below, w.presentation, *w.measure, 2);
  EXPECT_EQ(shortName.size.width, 100);
  // Over a 200-point thumbnail the text stops at 184 points.
  PillLayout truncated = layoutPill(cases[4].pill, inside, w.presentation, *w.measure, 2);
  EXPECT_EQ(truncated.textWidth, 184);
  // Every length grows with the scale.
  PillLayout large =
      layoutPill(cases.back().pill, cases.back().style, w.presentation, *w.measure, 2);
  EXPECT_EQ(large.size.height, 31.5);
  EXPECT_EQ(large.font.pointSize, 19.5);
  EXPECT_EQ(large.cornerRadius, 9.75);
}

// Arrivals drop in by the bar's height while fading in; short hops are quick and even, long
// moves glide; desktops left out go; a fade lifts everything away and only then completes.
// The panel asks to be drawn every frame while anything moves, and stops once all is still.
TEST(Pills, MoveArriveLeaveAndFadeOutInLoopTime) {
  PillWorld w;
  OverlayPanel overlay(w.services, w.mac.panels(), "MAIN");
  PillsView& view = overlay.pills();
  const Desktop one = w.desktop(1, "One"), two = w.desktop(2, "Two");
  const SpaceID a = one.id(), b = two.id();

  view.show({PillWorld::thumbnail(one, 100), PillWorld::thumbnail(two, 400)}, true, 2);
  std::vector<std::string> seen{pose(view, a)};
  w.loop.advance(0.14);
  seen.push_back(pose(view, a));
  EXPECT_TRUE(overlay.isTicking());
  w.loop.advance(0.14);
  seen.push_back(pose(view, a));
  EXPECT_EQ(seen, (std::vector<std::string>{"200,997 @0", "200,906 @0.5", "200,815 @1"}));
  w.loop.advance(0.05);
  EXPECT_FALSE(view.isAnimating());
  EXPECT_FALSE(overlay.isTicking());

  // One moves 10 points, the other 100, in the same pass.
  view.show({PillWorld::thumbnail(one, 110), PillWorld::thumbnail(two, 500)}, true, 2);
  EXPECT_TRUE(overlay.isTicking());
  w.loop.advance(0.015);
  EXPECT_EQ(pose(view, a), "202.5,815 @1");  // a quarter of the time, a quarter of the way
  w.loop.advance(0.045);
  EXPECT_EQ(pose(view, a), "210,815 @1");  // there after 0.06 s
  w.loop.advance(0.01);
  double quarter = view.layers()[1].position.x;
  EXPECT_GT(quarter, 500);
  EXPECT_LT(quarter, 525);  // a quarter of the time, well under a quarter of the way: eased
  w.loop.advance(0.20);
  EXPECT_NE(pose(view, b), "600,815 @1");
  w.loop.advance(0.02);
  EXPECT_EQ(pose(view, b), "600,815 @1");

  // Unchanged pills keep still; a desktop left out goes at once; back, it drops in again.
  view.show({PillWorld::thumbnail(one, 110), PillWorld::thumbnail(two, 500)}, true, 2);
  EXPECT_FALSE(view.isAnimating());
  view.show({PillWorld::thumbnail(one, 110)}, true, 2);
  EXPECT_EQ(pose(view, b), "none");
  view.show({PillWorld::thumbnail(one, 110), PillWorld::thumbnail(two, 500)}, false, 2);
  EXPECT_EQ(pose(view, b), "600,815 @1");

  // The fade: 60 points up and out over 0.224 s, then the layers go and the completion runs.
  int completions = 0;
  view.fadeOut(true, [&] { ++completions; });
  w.loop.advance(0.112);
  EXPECT_EQ(pose(view, a), "210,845 @0.5");
  EXPECT_EQ(completions, 0);
  w.loop.advance(0.112);
  EXPECT_EQ(completions, 1);
  EXPECT_TRUE(view.layers().empty());

  // Shown again mid-fade: the pills come back and the stale fade neither removes them nor
  // completes.
  view.show({PillWorld::thumbnail(one, 110)}, false, 2);
  view.fadeOut(true, [&] { ++completions; });
  w.loop.advance(0.1);
  view.show({PillWorld::thumbnail(one, 110)}, true, 2);
  w.loop.advance(0.3);
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(pose(view, a), "210,815 @1");

  // Not animated, the fade ends at once.
  view.fadeOut(false, [&] { ++completions; });
  EXPECT_EQ(completions, 2);
  EXPECT_TRUE(view.layers().empty());
}

// An unchanged pill is one cache lookup; a new title, number shown or setting is one new image
// each; the cache empties itself before its 201st image.
TEST(Pills, RenderOnlyWhatChangedAndEmptyTheCacheAt200) {
  PillWorld w;
  OverlayPanel overlay(w.services, w.mac.panels(), "MAIN");
  PillsView& view = overlay.pills();
  const Desktop one = w.desktop(1, "One"), two = w.desktop(2, "Two");
  std::vector<Pill> pills{PillWorld::thumbnail(one, 100), PillWorld::thumbnail(two, 400)};
  view.show(pills, true, 2);
  view.show(pills, true, 2);
  EXPECT_EQ(view.painter().renders(), 2u);
  pills[0].desktop = w.desktop(1, "Renamed");
  view.show(pills, true, 2);
  EXPECT_EQ(view.painter().renders(), 3u);
  w.options.setMcShowNumber(true);
  view.show(pills, true, 2);
  EXPECT_EQ(view.painter().renders(), 5u);
  view.show(pills, true, 1);  // a display at another backing scale
  EXPECT_EQ(view.painter().renders(), 7u);
  // Renumbered under the same name and width: the number it shows is new, so is the image.
  pills[1].desktop.number = 3;
  view.show(pills, true, 1);
  EXPECT_EQ(view.painter().renders(), 8u);

  PillPainter painter(w.mac.canvases());
  auto layout = [&](int i) {
    return layoutPill(PillWorld::thumbnail(one, 100, 200, 100 + i), PillStyle{}, w.presentation,
                      *w.measure, 1);
  };
  for (int i = 0; i < 200; ++i) ASSERT_NE(painter.image(layout(i)), nullptr);
  EXPECT_EQ(painter.count(), 200u);
  painter.image(layout(0));
  EXPECT_EQ(painter.renders(), 200u);
  painter.image(layout(200));
  EXPECT_EQ(painter.count(), 1u);
  EXPECT_TRUE(painter.contains(layout(200).cacheKey));
  EXPECT_FALSE(painter.contains(layout(0).cacheKey));
}

// The pixels, for what the numbers cannot show: tint, shadow, stroke, icon, truncation.
TEST(Pills, DrawAsTheGoldenPictureHolds) {
  PillWorld w;
  w.options.setMcPlacement(PillPlacement::insidePreview);
  OverlayPanel overlay(w.services, w.mac.panels(), "MAIN");
  const platform::PanelConfig& config = overlay.panel().config();
  EXPECT_EQ(config.level, 1001);
  EXPECT_FALSE(config.interactive || config.hasShadow);
  EXPECT_EQ(config.collectionBehavior, 337u);
  EXPECT_EQ(config.size, (Size{100, 100}));
  overlay.panel().setFrame(ScreenRect::make(0, 0, 560, 110), false);
  const Desktop mail =
      w.desktop(3, "Mail", SpaceIcon::symbol("envelope.fill"), TileColor::palette(2));
  const Desktop home = w.desktop(1, "", SpaceIcon::symbol("house.fill"));
  const Desktop longName =
      w.desktop(5, "Quarterly planning and the long road", {}, TileColor::palette(6));
  const ScreenRect bar = ScreenRect::make(0, 0, 560, 110);
  overlay.pills().show({{ScreenRect::make(10, 10, 160, 90), bar, 70, mail},
                        {ScreenRect::make(190, 10, 160, 90), bar, 70, longName},
                        // A collapsed bar's label: centred on it, widened to cover it.
                        {ScreenRect::make(400, 40, 120, 30), bar, 120, home}},
                       false, 2);
  auto pixels = w.mac.canvases().makeCanvas({560, 110}, 2);
  // Mission Control's dark backdrop, so the white stroke shows.
  pixels->fill(platform::Path::rect({0, 0, 560, 110}), platform::Color::gray(0.18));
  w.mac.panels().named("mission control: MAIN")->drawContent(*pixels);
  EXPECT_TRUE(testing::matchesGoldenPNG("surfaces/pills@2x.png", *pixels));
}

}  // namespace
}  // namespace velmora
