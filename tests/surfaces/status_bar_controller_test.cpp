#include "surfaces/status_bar_controller.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "drawing/glyph.h"
#include "golden.h"
#include "platform/linux/drawing_host.h"
#include "spaces/engine_world.h"

namespace velmora {
namespace {

// The application's side of the tile; clicks and the menu's choices are
// tests/cli/surfaces.velmora.
struct NoCommands final : AppCommands {
  void openSettings(std::optional<SettingsPage>) override {}
  void openFirstRun() override {}
  void openMissionControl() override {}
  void toggleQuickSwitcher() override {}
  void togglePopoverFromNotch() override {}
  void togglePopover() override {}
  void closePopover() override {}
  void switchTo(const Desktop&) override {}
  void previewSwitchTag() override {}
  void showHoverStrip() override {}
  void previewNotchLabel() override {}
  void togglePresentation() override {}
  void editDesktop(const Desktop&) override {}
  void quit() override {}
};

// Three desktops on one display, desktop 3 named Mail and current, and the tile controller.
struct TileWorld : testing::EngineWorld {
  MemoryLog tileLog;
  NoCommands commands;
  std::vector<std::uint64_t> ids;
  std::unique_ptr<StatusBarController> tile;
  int announcements = 0;
  ObserverToken observer;

  TileWorld() : EngineWorld(test_support::drawingHost()) {
    Glyph::setServices({&mac.symbols(), &mac.platform().images, &mac.canvases(), {}});
    ids = display("D1", 3);
    mac.userSwitchTo(ids[2]);
    makeEngine();
    loop.runPending();
    store.update(testing::mid(ids[2]), [](SpaceMeta& m) { m.name = "Mail"; });
    observer = center.observe(kMenuBarTileChanged, [this] { ++announcements; });
  }

  bool notchShows = false;

  StatusBarController& make() {
    tile = std::make_unique<StatusBarController>(
        StatusBarServices{mac.platform(), center, *engine, options, presentation, names, tileLog,
                          commands, [this] { return notchShows; }});
    loop.runPending();
    return *tile;
  }
  const sim::VirtualStatusItem& item() { return *mac.menuBar().item(); }
  // The item as the user sees it: its title, tool tip and image size, and whether it shows.
  std::string look() {
    const auto& i = item();
    std::string image = "no image";
    if (i.image())
      image = "image " + testing::num(i.image()->size().width) + "x" +
              testing::num(i.image()->size().height);
    return "\"" + i.title() + "\" tip \"" + i.toolTip() + "\" " + image +
           (i.isVisible() ? "" : " hidden");
  }
  // Where the fallbacks stand.
  std::string state() {
    return std::string(tile->confirming() ? "confirming " : "") +
           (tile->compact() ? "compact " : "") + (tile->tileHidden() ? "hidden " : "") +
           tilePresenceName(tile->presence()) + " title \"" + item().title() + "\"";
  }
  // Other items take all but `room` points left of the system's items.
  void crowd(double room) {
    double appMenus = 0;
    for (const auto& e : mac.menuBar().entries("D1")) {
      if (e.kind == sim::MenuBarEntry::Kind::appMenu || e.kind == sim::MenuBarEntry::Kind::appName)
        appMenus = std::max(appMenus, e.frame.maxX());
    }
    double free =
        1512 - 8 - mac.menuBar().systemWidth() - appMenus - sim::VirtualMenuBar::kMinimumGap;
    mac.menuBar().setExtras({{"Other", "", "wifi", free - room}});
  }
};

TEST(StatusBarController, RendersEachStyleWithBadgeTooltipAndWidthCap) {
  TileWorld w;
  auto& tile = w.make();
  EXPECT_EQ(w.look(), "\" Mail\" tip \"Mail · Desktop 3\" image 17x17");
  w.options.setMenuBarStyle(MenuBarStyle::iconOnly);
  tile.refresh();
  EXPECT_EQ(w.look(), "\"\" tip \"Mail · Desktop 3\" image 17x17");

  // Mail has an unread badge and no window on the desktop on screen: it waits elsewhere.
  platform::pid_t mail = w.mac.addApplication({0, "Mail"});
  w.mac.addWindow(mail, {w.ids[0]}, AXRect::make(10, 40, 300, 200));
  w.badges.texts[mail] = "2";
  w.engine->refreshApps(true);
  w.engine->badgesChanged();
  w.options.setMenuBarStyle(MenuBarStyle::nameOnly);
  tile.refresh();
  EXPECT_EQ(w.look(),
            "\"Mail · 2\" tip \"Mail · Desktop 3 · 2 waiting on another desktop\" no image");

  // The number style shows the number tile even for a desktop with an emoji.
  w.store.update(testing::mid(w.ids[2]), [](SpaceMeta& m) { m.icon = SpaceIcon::emoji("🎉"); });
  w.badges.texts.clear();
  w.engine->badgesChanged();
  w.options.setMenuBarStyle(MenuBarStyle::numberAndName);
  tile.refresh();
  auto desktop = w.engine->currentDesktop();
  EXPECT_EQ(w.item().image(), Glyph::tileImage(w.presentation, *desktop, 17, 4.5, true));
  EXPECT_EQ(w.item().title(), " Mail");

  // A name wider than the cap: the item is exactly that wide and ends in an ellipsis.
  w.store.update(testing::mid(w.ids[2]), [](SpaceMeta& m) { m.name = std::string(400, 'W'); });
  tile.refresh();
  EXPECT_EQ(w.item().length(), 220);
  EXPECT_TRUE(w.item().shownTitle().ends_with("…"));
}

TEST(StatusBarController, FollowsFullScreenRenumberingAndTheDisplayTheUserClicksInto) {
  TileWorld w;
  w.make();
  auto tileOf = [&](int number) {
    return Glyph::tileImage(w.presentation, *w.engine->desktopWithNumber(number), 17, 4.5);
  };

  // Full screen and back to the same desktop.
  platform::pid_t keynote = w.mac.addApplication({0, "Keynote"});
  std::int64_t window = w.mac.addWindow(keynote, {w.ids[2]}, AXRect::make(0, 30, 800, 600));
  std::uint64_t fullScreen = w.mac.userEnterFullScreen(window);
  w.loop.advance(0.1);
  EXPECT_EQ(w.look(), "\"Spaces\" tip \"\" no image");
  w.userSwitch(w.ids[2]);
  EXPECT_EQ(w.look(), "\" Mail\" tip \"Mail · Desktop 3\" image 17x17");
  EXPECT_EQ(w.item().image(), tileOf(3));
  w.mac.userRemoveSpace(fullScreen);

  // A desktop before this one goes: Mail is desktop 2 now, with desktop 2's automatic colour.
  w.mac.userRemoveSpace(w.ids[0]);
  w.loop.advance(1.6);
  EXPECT_EQ(w.item().toolTip(), "Mail · Desktop 2");
  EXPECT_EQ(w.item().image(), tileOf(2));

  // Another display, and the user clicks into it: its desktop is the user's now.
  w.mac.userAttachDisplay("D2", ScreenRect::make(1512, 0, 1512, 982));
  w.loop.advance(0.1);
  EXPECT_EQ(w.item().toolTip(), "Mail · Desktop 2");
  w.mac.setActiveMenuBarDisplay("D2");
  w.loop.advance(1.6);  // nothing is posted for a click; the sweep notices
  EXPECT_EQ(w.item().toolTip(), "Desktop 3 · Desktop 3");
}

TEST(StatusBarController, LiftsTheImageFromMacOS27) {
  TileWorld w;
  w.mac.setSystemMajorVersion(27);
  w.make();
  ASSERT_TRUE(w.item().image());
  EXPECT_EQ(w.item().image()->size(), (Size{17, 18}));
}

TEST(StatusBarController, WithoutDesktopsReadsSpaces) {
  testing::EngineWorld bare;
  NoCommands commands;
  bare.makeEngine();
  StatusBarController tile(StatusBarServices{bare.mac.platform(), bare.center, *bare.engine,
                                             bare.options, bare.presentation, bare.names, bare.log,
                                             commands});
  EXPECT_EQ(bare.mac.menuBar().item()->title(), "Spaces");
  EXPECT_FALSE(bare.mac.menuBar().item()->image());
}

// How the tile gives way, one scenario after another: where it stands at each moment, then
// what it logged; and how often it announced a change of its place. Room for the tile alone
// (29 points, not the name's 58): the tile alone after 0.4 s of "no room" (a second one within
// them starts nothing new), the name tried again six seconds after the screen change, and a
// new style starting from the full look. No room at all: the tile hidden and announced, and
// back when room comes; with the icon only there is no tile-alone step. Beside the notch
// label it steps aside and comes back.
TEST(StatusBarController, GivesWayAsItsGolden) {
  std::string out;
  auto run = [&](const char* name, double room, MenuBarStyle style,
                 const std::function<void(TileWorld&, const std::function<void(double)>&)>& act) {
    TileWorld w;
    w.options.setMenuBarStyle(style);
    if (room > 0) w.crowd(room);
    const double start = w.loop.now();
    w.make();
    out += std::string("== ") + name + "\n";
    act(w, [&](double t) {
      w.loop.advance(start + t - w.loop.now());
      out += testing::num(t) + " s: " + w.state() + (w.item().isVisible() ? "" : ", not visible") +
             ", announced " + std::to_string(w.announcements) + "\n";
    });
    for (const std::string& line : w.tileLog.lines) out += "  log: " + line + "\n";
  };
  run("room for the tile alone", 45, MenuBarStyle::numberAndName, [](TileWorld& w, auto at) {
    at(1.5);
    w.tile->checkFit();
    for (double t : {1.9, 2.5, 6.0, 7.0}) at(t);
    w.options.setMenuBarStyle(MenuBarStyle::nameOnly);
    w.tile->refresh();
    at(7.0);
  });
  run("no room at all", 10, MenuBarStyle::numberAndName, [&](TileWorld& w, auto at) {
    at(2.5);
    w.mac.menuBar().setExtras({});  // another item quits: the move re-checks
    at(2.5);
    out += w.tile->presenceReport() + "\n";
  });
  run("no room at all, the icon only", 10, MenuBarStyle::iconOnly,
      [](TileWorld&, auto at) { at(1.6); });
  run("beside the notch label", 0, MenuBarStyle::numberAndName, [](TileWorld& w, auto at) {
    w.notchShows = true;
    w.options.setNotchEnabled(true);
    w.options.setTileHiddenBesideNotch(true);
    w.tile->refresh();
    w.tile->refresh();
    at(0);
    w.notchShows = false;
    w.tile->refresh();
    at(0);
  });
  EXPECT_TRUE(testing::matchesGolden("surfaces/tile_gives_way.txt", out));
}

// The menu with a desktop's own shortcut (⌃⌥M on desktop 1), without and with the number
// shortcuts shown (its own still wins), and while presenting.
TEST(StatusBarController, MenuListsDesktopsWithChecksAndShortcuts) {
  TileWorld w;
  auto& tile = w.make();
  w.store.update(testing::mid(w.ids[0]), [](SpaceMeta& m) {
    m.hotkey = Hotkey{46, platform::kControlKey | platform::kOptionKey};
  });
  std::string out;
  for (bool shortcuts : {false, true}) {
    w.options.setShowShortcutsInMenu(shortcuts);
    out += "== shortcuts " + std::string(shortcuts ? "shown" : "hidden") + "\n" +
           testing::menuText(tile.buildMenu());
  }
  w.options.setPresenting(true);
  out += "== presenting\n" + testing::menuText(tile.buildMenu());
  EXPECT_TRUE(testing::matchesGolden("surfaces/tile_menu.txt", out));
}

}  // namespace
}  // namespace velmora
