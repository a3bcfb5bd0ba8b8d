#include "surfaces/status_bar_controller.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "drawing/glyph.h"
#include "golden.h"
#include "platform/linux/drawing_host.h"
#include "spaces/engine_world.h"

namespace velmora {
namespace {

using platform::MouseEvent;

// Records what the tile asks of the application.
class FakeCommands final : public AppCommands {
 public:
  std::vector<std::string> calls;
  void openSettings(std::optional<SettingsPage>) override { calls.push_back("settings"); }
  void openFirstRun() override {}
  void openMissionControl() override {}
  void toggleQuickSwitcher() override {}
  void togglePopoverFromNotch() override {}
  void togglePopover() override { calls.push_back("popover"); }
  void closePopover() override {}
  void switchTo(const Desktop&) override {}
  void previewSwitchTag() override {}
  void showHoverStrip() override {}
  void previewNotchLabel() override {}
  void togglePresentation() override {}
  void editDesktop(const Desktop&) override {}
  void quit() override { calls.push_back("quit"); }
};

// Three desktops on one display, desktop 3 named Mail and current, and the tile controller.
struct TileWorld : testing::EngineWorld {
  MemoryLog tileLog;
  FakeCommands commands;
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
  FakeCommands commands;
  bare.makeEngine();
  StatusBarController tile(StatusBarServices{bare.mac.platform(), bare.center, *bare.engine,
                                             bare.options, bare.presentation, bare.names, bare.log,
                                             commands});
  EXPECT_EQ(bare.mac.menuBar().item()->title(), "Spaces");
  EXPECT_FALSE(bare.mac.menuBar().item()->image());
}

TEST(StatusBarController, FallsBackToTileAloneThenRetriesTheName) {
  TileWorld w;
  w.crowd(45);  // room for the tile alone (29 points), not for the name (58)
  double start = w.loop.now();
  auto& tile = w.make();
  auto at = [&](double t) {
    w.loop.advance(start + t - w.loop.now());
    return w.state();
  };
  EXPECT_EQ(at(1.5), "confirming inBar title \" Mail\"");
  tile.checkFit();  // a second "no room" within the 0.4 s starts nothing new
  EXPECT_EQ(at(1.9), "compact inBar title \"\"");
  EXPECT_EQ(at(2.5), "compact inBar title \"\"");
  // Six seconds after the screen change the name gets one more try, and falls back again.
  EXPECT_EQ(at(6.0), "confirming inBar title \" Mail\"");
  EXPECT_EQ(at(7.0), "compact inBar title \"\"");
  EXPECT_EQ(w.tileLog.lines, (std::vector<std::string>{
                                 "menu bar has no room for the name; showing the tile alone",
                                 "menu bar: trying the full name again",
                                 "menu bar has no room for the name; showing the tile alone"}));
  EXPECT_EQ(w.announcements, 0);

  // A new style starts from the full look.
  w.options.setMenuBarStyle(MenuBarStyle::nameOnly);
  tile.refresh();
  EXPECT_EQ(w.state(), "inBar title \"Mail\"");
}

TEST(StatusBarController, NoRoomAtAllHidesTheTileAndAnnouncesIt) {
  TileWorld w;
  w.crowd(10);
  double start = w.loop.now();
  auto& tile = w.make();
  w.loop.advance(start + 2.5 - w.loop.now());
  EXPECT_EQ(w.state(), "compact hidden dropped title \"\"");
  EXPECT_EQ(w.announcements, 1);

  // Room comes back (another item quits): the move re-checks and the tile is announced.
  w.mac.menuBar().setExtras({});
  w.loop.runPending();
  EXPECT_EQ(w.state(), "compact inBar title \"\"");
  EXPECT_EQ(w.tileLog.lines,
            (std::vector<std::string>{"menu bar has no room for the name; showing the tile alone",
                                      "menu bar has no room for the tile at all",
                                      "menu bar shows the tile again"}));
  EXPECT_EQ(w.announcements, 2);
  EXPECT_TRUE(tile.presenceReport().starts_with("frame={{"));
  EXPECT_NE(tile.presenceReport().find(" onScreen=true visibleFlag=true compact=true "
                                       "presence=inBar stored="),
            std::string::npos);

  // With the icon only there is no tile-alone step to try first.
  TileWorld icon;
  icon.options.setMenuBarStyle(MenuBarStyle::iconOnly);
  icon.crowd(10);
  start = icon.loop.now();
  icon.make();
  icon.loop.advance(start + 1.6 - icon.loop.now());
  EXPECT_EQ(icon.state(), "hidden dropped title \"\"");
}

TEST(StatusBarController, StepsAsideForTheNotchLabel) {
  TileWorld w;
  auto& tile = w.make();
  w.notchShows = true;
  w.options.setNotchEnabled(true);
  w.options.setTileHiddenBesideNotch(true);
  tile.refresh();
  tile.refresh();
  EXPECT_EQ(w.state(), "steppedAside title \" Mail\"");
  EXPECT_FALSE(w.item().isVisible());
  w.notchShows = false;
  tile.refresh();
  EXPECT_TRUE(w.item().isVisible());
  EXPECT_EQ(w.tileLog.lines,
            (std::vector<std::string>{"menu bar tile steps aside for the notch label",
                                      "menu bar tile is back"}));
  EXPECT_EQ(w.announcements, 2);
}

TEST(StatusBarController, ClicksOpenThePopoverOrTheMenu) {
  TileWorld w;
  w.make();
  auto& bar = w.mac.menuBar();
  bar.click(MouseEvent::Type::leftMouseUp, 0);
  EXPECT_EQ(w.commands.calls, std::vector<std::string>{"popover"});
  bar.click(MouseEvent::Type::leftMouseUp, 1ULL << 18);  // Control-click
  ASSERT_TRUE(bar.openMenu());
  EXPECT_EQ(w.commands.calls.size(), 1u);
  // Choosing a desktop switches there; the menu is detached again afterwards.
  EXPECT_TRUE(bar.choose("Desktop 1"));
  w.loop.advance(1);
  EXPECT_EQ(w.engine->currentDesktop()->number, 1);
  bar.click(MouseEvent::Type::rightMouseUp, 0);
  EXPECT_TRUE(bar.choose("Quit Velmora"));
  bar.click(MouseEvent::Type::leftMouseUp, 0);
  EXPECT_EQ(w.commands.calls, (std::vector<std::string>{"popover", "quit", "popover"}));
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
