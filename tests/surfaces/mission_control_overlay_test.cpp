#include "surfaces/mission_control_overlay.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "golden.h"
#include "spaces/engine_world.h"

namespace velmora {
namespace {

// One thumbnail as Mission Control's tree lists it.
struct Thumb {
  std::string description;
  AXRect frame;
  std::string role = "AXButton";
};
struct Bar {
  std::uint32_t displayID = 0;
  std::optional<AXRect> frame;
  std::vector<Thumb> thumbs;
};

Value point(double x, double y) {
  return Value::dictionary({{"X", x}, {"Y", y}});
}
Value extent(double w, double h) {
  return Value::dictionary({{"Width", w}, {"Height", h}});
}

// Display A (1512 × 982, three desktops) with display B to its right (two desktops). The
// overlay reads bars the test writes into the Dock's tree, and a Dock window on Mission
// Control's layer tells the detector it is open.
struct OverlayWorld : testing::EngineWorld {
  MemoryLog mcLog;
  std::uint32_t a = 0, b = 0;
  std::unique_ptr<MissionControlOverlay> overlay;
  std::vector<std::string> pressed;  // descriptions of the buttons pressed, with the time

  OverlayWorld() {
    mac.addSystemFurniture();
    display("A", 3);
    display("B", 2, 1512);
    a = mac.display("A")->displayNumber;
    b = mac.display("B")->displayNumber;
    makeEngine();
    mac.setAccessibilityTrusted(true);
    overlay = std::make_unique<MissionControlOverlay>(
        OverlayServices{mac.platform(), *engine, options, presentation, mcLog, [] { return 0.0; }});
  }

  // Replaces Mission Control's part of the Dock's tree with these bars.
  void bars(const std::vector<Bar>& rows) {
    const sim::pid_t dock = sim::kDockPID;
    mac.editAccessibilityTree(dock, [&](sim::SimAXNode& root) {
      for (auto& child : std::vector(root.children)) {
        if (child->attributes["AXIdentifier"] == Value("mc")) root.remove(child.get());
      }
      auto mc = sim::SimAXNode::make(dock, "AXGroup");
      mc->attributes["AXIdentifier"] = "mc";
      for (const Bar& row : rows) {
        auto display = sim::SimAXNode::make(dock, "AXGroup");
        display->attributes["AXIdentifier"] = "mc.display";
        display->attributes["AXDisplayID"] = static_cast<std::int64_t>(row.displayID);
        auto spaces = sim::SimAXNode::make(dock, "AXGroup");
        spaces->attributes["AXIdentifier"] = "mc.spaces";
        auto list = sim::SimAXNode::make(dock, "AXList");
        list->attributes["AXIdentifier"] = "mc.spaces.list";
        if (row.frame) {
          list->attributes["AXPosition"] = point(row.frame->minX(), row.frame->minY());
          list->attributes["AXSize"] = extent(row.frame->size.width, row.frame->size.height);
        }
        for (const Thumb& thumb : row.thumbs) {
          auto button = sim::SimAXNode::make(dock, thumb.role);
          button->attributes["AXDescription"] = thumb.description;
          button->attributes["AXPosition"] = point(thumb.frame.minX(), thumb.frame.minY());
          button->attributes["AXSize"] = extent(thumb.frame.size.width, thumb.frame.size.height);
          button->actions["AXPress"] = [this, d = thumb.description] {
            char at[16];
            std::snprintf(at, sizeof at, "%.2f", loop.now());
            pressed.push_back(d + " at " + at);
          };
          list->append(button);
        }
        spaces->append(list);
        display->append(spaces);
        mc->append(display);
      }
      if (!rows.empty()) root.append(mc);
    });
  }
  // Mission Control on screen as the window list shows it, or gone.
  void missionControl(bool open) {
    if (open) {
      mac.overrideWindowList(Value::array({Value::dictionary(
          {{platform::kWindowOwnerName, "Dock"},
           {platform::kWindowLayer, 18},
           {platform::kWindowBounds, Value::dictionary({{"Width", 1512}, {"Height", 982}})}})}));
    } else {
      mac.overrideWindowList(Value::array({}));
    }
    overlay->detector().check("poll");
  }
  // A bar of thumbnails 180 × 112 along the top of display A, or of B (which starts at x 1512).
  static Bar row(std::uint32_t id, double x0, std::vector<std::string> descriptions) {
    Bar bar{id, AXRect::make(x0, 40, 1512, 150), {}};
    for (std::size_t i = 0; i < descriptions.size(); ++i) {
      bar.thumbs.push_back(
          {descriptions[i], AXRect::make(x0 + 200 + 212 * static_cast<double>(i), 56, 180, 112)});
    }
    return bar;
  }
  std::string pills() const {
    std::string out;
    for (const auto& [display, list] : overlay->pills()) {
      for (const Pill& p : list) {
        char line[160];
        std::snprintf(line, sizeof line, " %s:%d@%g,%g", display.c_str(), p.desktop.number,
                      p.anchor.minX(), p.anchor.minY());
        out += line;
      }
    }
    return out.empty() ? " none" : out;
  }
};

TEST(MissionControlOverlay, MatchesEachThumbnailToOneDesktopOfItsDisplay) {
  struct Case {
    const char* name;
    std::vector<Bar> bars;
    bool showUnnamed = true;
    // Something that goes wrong between the bars appearing and the pass reading them.
    std::function<void(OverlayWorld&)> disturb = nullptr;
  };
  const double bx = 1512;
  OverlayWorld w;
  w.store.update(w.engine->desktopWithNumber(2)->space.managedID,
                 [](SpaceMeta& m) { m.name = "Mail"; });
  const std::uint32_t a = w.a, b = w.b;
  using W = OverlayWorld;
  std::vector<Case> cases{
      {"global numbers",
       {W::row(a, 0, {"Desktop 1", "Desktop 2", "Desktop 3"}),
        W::row(b, bx, {"Desktop 4", "Desktop 5"})}},
      {"per-display numbers", {W::row(b, bx, {"Desktop 1", "Desktop 2"})}},
      {"no numbers, as many as desktops", {W::row(b, bx, {"Mail", "Notes"})}},
      {"no numbers, one tile more", {W::row(b, bx, {"Mail", "Notes", "Safari"})}},
      {"unnamed hidden", {W::row(a, 0, {"Desktop 1", "Desktop 2", "Desktop 3"})}, false},
      {"duplicate numbers", {W::row(a, 0, {"Desktop 2", "Desktop 2", "Desktop 3"})}},
      {"more thumbnails than desktops", {W::row(b, bx, {"Desktop 1", "Desktop 2", "Desktop 9"})}},
      {"display matching no screen", {W::row(777, 0, {"Desktop 1"})}},
      {"missing identifiers", {W::row(b, bx, {"", "Desktop"})}},
      {"negative and enormous sizes",
       {{a,
         AXRect::make(0, 40, 1512, 150),
         {{"Desktop 1", AXRect::make(200, 56, -180, 112)},
          {"Desktop 2", AXRect::make(412, 56, 1e300, 112)},
          {"Desktop 3", AXRect::make(624, 56, 180, 112)}}}}},
      {"no bar", {{a, std::nullopt, {{"Desktop 1", AXRect::make(200, 56, 180, 112)}}}}},
      {"the Dock does not answer in time",
       {W::row(a, 0, {"Desktop 1"})},
       true,
       [](W& w) { w.mac.failAccessibilityCalls(sim::kDockPID, platform::kAXErrorCannotComplete); }},
      {"Mission Control's tree gone mid-way",
       {W::row(a, 0, {"Desktop 1"})},
       true,
       [](W& w) {
         w.mac.failAccessibilityCalls(sim::kDockPID, std::nullopt);
         w.overlay->pass();
         w.bars({});
       }},
  };
  std::string text;
  w.missionControl(true);
  for (const Case& c : cases) {
    w.options.setMcShowUnnamed(c.showUnnamed);
    w.bars(c.bars);
    if (c.disturb) c.disturb(w);
    w.overlay->pass();
    text += std::string(c.name) + ":" + w.pills() + "\n" + w.overlay->lastReport();
  }
  EXPECT_TRUE(testing::matchesGolden("surfaces/overlay_matching.txt", text));
  // The closing report says what the last pass could not read.
  w.missionControl(false);
  EXPECT_EQ(w.mcLog.lines.back().substr(w.mcLog.lines.back().find("; last pass:")),
            "; last pass:\n(no accessibility data)");
}

TEST(MissionControlOverlay, FollowsTheBarFromCollapsedToExpandedAndAway) {
  OverlayWorld w;
  // Collapsed: the bar shows name labels, which the tree reports a bar's height above it.
  Bar collapsed{
      w.a,
      AXRect::make(0, 40, 1512, 40),
      {{"Desktop 1", AXRect::make(600, 4, 70, 30)}, {"Desktop 2", AXRect::make(700, 4, 76, 30)}}};
  w.bars({collapsed});
  w.missionControl(true);
  w.loop.advance(0.05);
  EXPECT_EQ(w.pills(), " A:1@600,908 A:2@700,908");  // 982 − (4 + 40) − 30
  EXPECT_EQ(w.overlay->pills().at("A")[1].labelWidth, 76);
  EXPECT_FALSE(w.overlay->expandedAt());

  // The user points at the top: thumbnails come, sized by the labels measured above.
  w.loop.advance(0.2);
  w.bars({OverlayWorld::row(w.a, 0, {"Desktop 1", "Desktop 2"})});
  w.loop.advance(0.05);
  ASSERT_TRUE(w.overlay->expandedAt());
  double expandedAt = *w.overlay->expandedAt();
  EXPECT_EQ(w.overlay->pills().at("A")[1].labelWidth, 76);
  w.loop.advance(0.5);
  EXPECT_EQ(*w.overlay->expandedAt(), expandedAt);

  // The bar slides up out of view: pills go, once.
  Bar gone = OverlayWorld::row(w.a, 0, {"Desktop 1", "Desktop 2"});
  gone.frame->origin.y = -1;
  w.bars({gone});
  w.loop.advance(0.05);
  EXPECT_FALSE(w.overlay->pills().empty()) << "a bar at −1 is still on screen";
  gone.frame->origin.y = -2;
  w.bars({gone});
  w.loop.advance(0.3);
  EXPECT_TRUE(w.overlay->pills().empty());
  w.missionControl(false);
  ASSERT_EQ(w.mcLog.lines.size(), 3u);
  EXPECT_EQ(w.mcLog.lines[1], "opened (noticed by poll)");
  EXPECT_EQ(w.mcLog.lines[2],
            "closed (ax=true); 34 passes, 0.0 ms each; open +1.15s, row expanded +0.27s, layout: "
            "collapsed+0.03s expanded+0.27s expanded+0.83s bar left+0.87s, dock notifications at "
            "none; last pass:\n"
            "display 1 bar={{0, -2}, {1512, 150}} items=2 desktops=3\n"
            "  'Desktop 1' -> 200,56 180x112\n"
            "  'Desktop 2' -> 412,56 180x112\n");
}

TEST(MissionControlOverlay, PassesSlowDownOnceStillAndKeepAtMostTwentyFourNotes) {
  OverlayWorld w;
  w.bars({OverlayWorld::row(w.a, 0, {"Desktop 1"})});
  w.missionControl(true);
  EXPECT_NEAR(w.overlay->passInterval(), 1.0 / 30, 1e-9);
  w.loop.advance(0.7);
  EXPECT_NEAR(w.overlay->passInterval(), 0.1, 1e-9);
  // A thumbnail that keeps moving keeps the passes fast and notes every move, up to 24.
  for (int i = 0; i < 30; ++i) {
    Bar moved = OverlayWorld::row(w.a, static_cast<double>(i + 1), {"Desktop 1"});
    w.bars({moved});
    w.loop.advance(0.1);
  }
  EXPECT_NEAR(w.overlay->passInterval(), 1.0 / 30, 1e-9);
  EXPECT_EQ(w.overlay->changes().size(), MissionControlOverlay::kMaxChanges);
  w.missionControl(false);
  EXPECT_EQ(w.overlay->passInterval(), 0);
  EXPECT_TRUE(w.overlay->pills().empty());
}

TEST(MissionControlOverlay, StepsAsideForClicksButNotForDragsOrTheEmptyBar) {
  OverlayWorld w;
  w.bars({OverlayWorld::row(w.a, 0, {"Desktop 1", "Desktop 2"})});
  w.missionControl(true);
  w.loop.advance(0.1);
  ASSERT_TRUE(w.overlay->clickTapEnabled());
  auto gesture = [&](AXPoint down, AXPoint up) {
    w.mac.eventTaps().deliver(1, down);
    w.mac.eventTaps().deliver(2, up);
    w.loop.runPending();
    return w.overlay->isSuppressed();
  };
  EXPECT_FALSE(gesture({300, 100}, {303.1, 100})) << "3.1 points is a drag";
  EXPECT_FALSE(gesture({1300, 100}, {1300, 100})) << "empty bar space";
  EXPECT_EQ(w.pills(), " A:1@200,814 A:2@412,814");
  EXPECT_TRUE(gesture({300, 100}, {303, 100}));
  EXPECT_EQ(w.pills(), " none");
  // Pills come back on the first pass after half a second, while Mission Control stays.
  w.loop.advance(0.45);
  EXPECT_EQ(w.pills(), " none");
  w.loop.advance(0.1);
  EXPECT_EQ(w.pills(), " A:1@200,814 A:2@412,814");
  // The system turns the tap off; it comes back on while Mission Control is open.
  w.mac.eventTaps().disableAll(platform::kEventTapDisabledByTimeout);
  w.loop.runPending();
  EXPECT_TRUE(w.overlay->clickTapEnabled());
  EXPECT_TRUE(gesture({700, 600}, {700, 600})) << "outside every bar";
  w.missionControl(false);
  EXPECT_FALSE(w.overlay->clickTapEnabled());
  std::size_t notes = w.overlay->changes().size();
  gesture({300, 100}, {300, 100});
  EXPECT_EQ(w.overlay->changes().size(), notes);
  // Without a tap (the system refused it) clicks go unwatched and the pills still come.
  OverlayWorld refused;
  refused.mac.eventTaps().refuseTaps(true);
  refused.bars({OverlayWorld::row(refused.a, 0, {"Desktop 1"})});
  refused.missionControl(true);
  refused.loop.advance(0.1);
  EXPECT_FALSE(refused.overlay->clickTapEnabled());
  EXPECT_EQ(refused.pills(), " A:1@200,814");
}

TEST(MissionControlOverlay, PressesTheThumbnailOnceMissionControlHasLaidItOut) {
  OverlayWorld w;
  std::vector<std::string> told;
  auto done = [&](const char* who) {
    return [&told, &w, who](bool pressed) {
      char at[16];
      std::snprintf(at, sizeof at, "%.2f", w.loop.now());
      told.push_back(std::string(who) + (pressed ? " pressed at " : " missed at ") + at);
    };
  };
  // Closed: it launches Mission Control and looks from 0.32 s; a second press takes over.
  // Desktop 5 is the second of display B, which Mission Control numbers from 1.
  w.overlay->pressThumbnail(5, done("first"));
  w.loop.advance(0.1);
  w.overlay->pressThumbnail(5, done("second"));
  EXPECT_EQ(w.mac.openedURLs(), std::vector<std::string>{kMissionControlAppURL});
  w.loop.advance(1.0);
  EXPECT_EQ(w.mac.currentSpace("B"), w.engine->desktopWithNumber(5)->id().raw());
  EXPECT_FALSE(w.mac.missionControlOpen());
  EXPECT_TRUE(w.overlay->isSuppressed()) << "passes wait 2 s after a press";

  // No such thumbnail: it gives up after 1.5 s and closes the Mission Control it opened.
  w.overlay->pressThumbnail(9, done("third"));
  w.loop.advance(2.0);
  EXPECT_EQ(w.mac.openedURLs().size(), 3u);
  EXPECT_FALSE(w.mac.missionControlOpen());

  // A first press Mission Control swallows while it still animates is pressed again.
  w.bars({OverlayWorld::row(w.a, 0, {"Desktop 1", "Desktop 2"})});
  w.missionControl(true);
  w.overlay->pressThumbnail(2, done("fourth"));
  w.loop.advance(1.0);
  EXPECT_EQ(w.pressed, (std::vector<std::string>{"Desktop 2 at 3.42", "Desktop 2 at 3.77"}));

  w.mac.setAccessibilityTrusted(false);
  w.overlay->pressThumbnail(1, done("fifth"));
  EXPECT_EQ(told, (std::vector<std::string>{"first missed at 0.10", "second pressed at 0.77",
                                            "third missed at 2.62", "fourth pressed at 3.77",
                                            "fifth missed at 4.10"}));
}

}  // namespace
}  // namespace velmora
