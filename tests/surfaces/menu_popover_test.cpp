// The desktops popover on the virtual Mac: opening and closing it, the page it comes back on,
// what its rows and notices say as conditions change, and where its clicks land.
#include "surfaces/menu_popover.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "golden.h"
#include "spaces/engine_world.h"

namespace velmora {
namespace {

// The application's side: each command noted, a switch carried out by the engine.
struct NotedCommands final : AppCommands {
  SpaceEngine* engine = nullptr;
  std::vector<std::string> noted;
  void openSettings(std::optional<SettingsPage>) override { noted.push_back("settings"); }
  void openFirstRun() override {}
  void openMissionControl() override { noted.push_back("mission control"); }
  void toggleQuickSwitcher() override { noted.push_back("quick switcher"); }
  void togglePopoverFromNotch() override {}
  void togglePopover() override {}
  void closePopover() override {}
  void switchTo(const Desktop& d) override {
    noted.push_back("switch to " + std::to_string(d.number));
    engine->switchTo(d, "popover");
  }
  void previewSwitchTag() override {}
  void showHoverStrip() override {}
  void previewNotchLabel() override {}
  void togglePresentation() override {}
  void editDesktop(const Desktop&) override {}
  void quit() override { noted.push_back("quit"); }
};

// Stands for the desktop editor: notes what it is asked, its back control at the top left.
struct NotedEditor final : PopoverEditor {
  Desktop desktop;
  std::function<void()> onDone;
  Size preferredSize() const override { return {300, 200}; }
  void draw(platform::Canvas&, Size) const override {}
  void click(platform::CanvasPoint p) override {
    if (platform::CanvasRect r = backFrame(); p.x < r.x + r.width && p.y < r.y + r.height) onDone();
  }
  platform::CanvasRect backFrame() const override { return {0, 0, 40, 30}; }
  std::string describe() const override { return "editor of " + std::to_string(desktop.number); }
};

// Desktops on a 1512 × 982 display, TextEdit in front with a window on desktop 1, and the
// popover hanging from a tile-sized rectangle in the menu bar.
struct PopoverWorld : testing::EngineWorld {
  std::vector<std::uint64_t> ids;
  platform::pid_t textEdit = 0;
  std::int64_t textEditWindow = 0;
  NotedCommands commands;
  bool accessMissing = false, askedAgain = false;
  std::optional<UpdateNotice> update;
  std::unique_ptr<MenuPopover> popover;
  const platform::PopoverAnchor anchor{ScreenRect::make(1300, 958, 30, 24), nullptr};

  explicit PopoverWorld(int desktops = 4, int displays = 1) {
    for (int d = 0; d < displays; ++d) {
      auto more = display("D" + std::to_string(d + 1), desktops, 1512.0 * d);
      ids.insert(ids.end(), more.begin(), more.end());
    }
    sim::SimApp app;
    app.name = "TextEdit";
    textEdit = mac.addApplication(app);
    textEditWindow =
        mac.addWindow(textEdit, ids.empty() ? std::vector<std::uint64_t>{} : std::vector{ids[0]},
                      AXRect::make(100, 100, 600, 400));
    mac.userActivate(textEdit);
    makeEngine();
    commands.engine = engine.get();
    loop.runPending();
    popover = std::make_unique<MenuPopover>(
        PopoverServices{mac.platform(), *engine, options, presentation, names, commands},
        [](const Desktop& desktop, std::function<void()>, std::function<void()> onDone) {
          auto editor = std::make_unique<NotedEditor>();
          editor->desktop = desktop;
          editor->onDone = std::move(onDone);
          return editor;
        });
    popover->setSources(PopoverSources{[this] { return accessMissing; },
                                       [this] { return askedAgain; }, [] {},
                                       [this] { return update; }});
  }
  const sim::VirtualPopover* shown() { return mac.popovers().shown(); }
  std::string lines() {
    std::string out;
    for (const std::string& line : popover->view().describe()) out += line + "\n";
    return out;
  }
  // The user clicks a point of the content, through the window server.
  void clickContent(platform::CanvasRect r) {
    const ScreenRect f = mac.popovers().all().front()->frame();
    mac.click({f.minX() + r.x + r.width / 2, f.maxY() - (r.y + r.height / 2)});
    loop.runPending();
  }
  platform::CanvasRect footer(PopoverTarget target) {
    for (const auto& line : popover->view().lines()) {
      if (line.target == target) return line.frame;
    }
    return {};
  }
};

TEST(MenuPopover, OpensBelowItsAnchorAndEveryWayOfClosingReturnsToTheList) {
  PopoverWorld w;
  w.popover->toggle(w.anchor);
  ASSERT_NE(w.shown(), nullptr);
  const ScreenRect f = w.shown()->frame();
  EXPECT_EQ(f.maxY(), w.anchor.rect.minY() - sim::VirtualPopover::kArrowHeight);
  EXPECT_LE(f.maxX(), 1512);  // slid left to stay on the screen
  EXPECT_TRUE(w.shown()->panel().isKey());
  EXPECT_EQ(w.popover->model().frontApp()->localizedName, "TextEdit");

  // Toggling again closes it, animated.
  w.popover->toggle(w.anchor);
  w.loop.runPending();
  EXPECT_EQ(w.shown(), nullptr);
  EXPECT_TRUE(w.mac.popovers().all().front()->lastCloseAnimated());

  // Opened on a desktop's editor, a click elsewhere closes it and the page goes back.
  w.popover->show(w.anchor, w.engine->desktopWithNumber(2));
  EXPECT_EQ(w.popover->model().page(), PopoverModel::Page::edit);
  EXPECT_NE(w.lines().find("editor of 2"), std::string::npos);
  w.mac.click({200, 200});
  w.loop.runPending();
  EXPECT_EQ(w.shown(), nullptr);
  EXPECT_EQ(w.popover->model().page(), PopoverModel::Page::list);

  // Edit from a row, then a command's close: at once, and back to the list again.
  w.popover->toggle(w.anchor);
  w.clickContent(w.popover->view().rows()[2].editButton);
  EXPECT_EQ(w.popover->model().editing()->number, 3);
  w.popover->closeNow();
  w.loop.runPending();
  EXPECT_FALSE(w.mac.popovers().all().front()->lastCloseAnimated());
  EXPECT_EQ(w.popover->model().page(), PopoverModel::Page::list);
  w.popover->toggle(w.anchor);
  EXPECT_NE(w.lines().find("page: list"), std::string::npos);

  // The editor's back control returns to the list with the popover still open.
  w.clickContent(w.popover->view().rows()[1].editButton);
  w.clickContent(w.popover->view().editor()->backFrame());
  w.loop.runPending();
  EXPECT_TRUE(w.popover->isShown());
  EXPECT_EQ(w.popover->model().page(), PopoverModel::Page::list);
}

TEST(MenuPopover, SendMovesTheWindowOfTheApplicationThatWasInFrontNotVelmoras) {
  PopoverWorld w;
  w.popover->toggle(w.anchor);
  // Velmora is in front now; the captured application is still TextEdit.
  EXPECT_EQ(w.mac.platform().workspace.frontmostApplication()->pid, sim::kSelfPID);
  const PopoverSpaceRow& third = w.popover->view().rows()[2];
  ASSERT_TRUE(third.send);
  EXPECT_EQ(*third.send, "Send the TextEdit window here");
  w.clickContent(third.sendButton);
  EXPECT_EQ(w.mac.window(w.textEditWindow)->spaces, std::vector<std::uint64_t>{w.ids[2]});
  EXPECT_EQ(w.shown(), nullptr);

  // Opened again with Velmora itself in front, no row offers to send anything.
  w.popover->toggle(w.anchor);
  for (const PopoverSpaceRow& row : w.popover->view().rows()) EXPECT_FALSE(row.send);
  EXPECT_NE(w.lines().find("front app: Velmora"), std::string::npos);

  // A row's click switches and closes; a footer command closes, then runs.
  w.clickContent(w.popover->view().rows()[1].frame);
  w.loop.advance(1);
  EXPECT_EQ(w.engine->currentDesktop()->number, 2);
  EXPECT_EQ(w.shown(), nullptr);
  w.popover->toggle(w.anchor);
  w.clickContent(w.footer(PopoverTarget::quickSwitcher));
  EXPECT_EQ(w.shown(), nullptr);
  EXPECT_EQ(w.commands.noted, (std::vector<std::string>{"switch to 2", "quick switcher"}));
}

TEST(MenuPopover, EachCommandClosesThePopoverAndReachesTheApplication) {
  struct Case {
    PopoverTarget target;
    std::string heard;  // what the application heard; "" when the engine acts itself
  };
  const std::vector<Case> cases{{PopoverTarget::settingsButton, "settings"},
                                {PopoverTarget::quickSwitcher, "quick switcher"},
                                {PopoverTarget::missionControl, "mission control"},
                                {PopoverTarget::jumpBack, ""},
                                {PopoverTarget::settings, "settings"},
                                {PopoverTarget::quit, "quit"}};
  for (const Case& c : cases) {
    PopoverWorld w;
    w.popover->toggle(w.anchor);
    platform::CanvasRect at = w.footer(c.target);
    for (const auto& line : w.popover->view().lines()) {
      if (line.target == c.target && line.buttonFrame.width > 0) at = line.buttonFrame;
    }
    ASSERT_GT(at.width, 0) << popoverTargetName(c.target);
    w.clickContent(at);
    EXPECT_EQ(w.shown(), nullptr) << popoverTargetName(c.target);
    EXPECT_FALSE(w.mac.popovers().all().front()->lastCloseAnimated());
    EXPECT_EQ(w.commands.noted,
              c.heard.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.heard})
        << popoverTargetName(c.target);
  }
}

TEST(MenuPopoverView, DisplayHeadingsComeAndGoWithTheSecondDisplay) {
  PopoverWorld w(3, 2);
  w.popover->toggle(w.anchor);
  EXPECT_TRUE(testing::matchesGolden("surfaces/popover_two_displays.txt", w.lines()));

  // The second display unplugged while it is open: its desktops join the first, in one group
  // without a heading.
  w.mac.userDetachDisplay("D2");
  w.loop.advance(0.5);
  ASSERT_TRUE(w.popover->isShown());
  EXPECT_EQ(w.lines().find("Display "), std::string::npos);
  EXPECT_EQ(w.popover->view().rows().size(), 6u);
  EXPECT_NE(w.lines().find("header: Desktop 1 of 6"), std::string::npos);
}

TEST(MenuPopoverView, WithoutDesktopsItSaysSo) {
  PopoverWorld w(0, 0);
  w.popover->toggle(w.anchor);
  EXPECT_NE(w.lines().find("\nNo desktops found\n"), std::string::npos);
  EXPECT_TRUE(w.popover->view().rows().empty());
}

TEST(MenuPopoverView, NoticesAppearAndDisappearWithTheirConditionsWhileItIsOpen) {
  PopoverWorld w;
  w.popover->toggle(w.anchor);
  std::string seen = "none:\n" + w.lines();
  auto notices = [&w] {
    std::string out;
    for (const std::string& line : w.popover->view().describe()) {
      if (line.rfind("notice: ", 0) == 0) out += line + "\n";
    }
    return out;
  };
  EXPECT_EQ(notices(), "");

  w.accessMissing = true;
  w.popover->refresh();
  seen += "access off:\n" + notices();
  w.askedAgain = true;
  w.popover->refresh();
  seen += "access off after an update:\n" + notices();
  w.options.setPresenting(true);
  w.loop.runPending();
  w.update = UpdateNotice{"2.1.0", "2026-12-01"};
  w.popover->refresh();
  seen += "all three:\n" + notices();
  EXPECT_TRUE(testing::matchesGolden("surfaces/popover_notices.txt", seen));

  // Turn Off ends presentation mode and its notice goes; the grant takes the other away.
  for (const auto& line : w.popover->view().lines()) {
    if (line.target == PopoverTarget::turnOffPresentation) w.clickContent(line.buttonFrame);
  }
  w.loop.runPending();
  EXPECT_FALSE(w.options.presenting());
  EXPECT_TRUE(w.popover->isShown());
  w.accessMissing = false;
  w.popover->refresh();
  EXPECT_EQ(notices(),
            "notice: Velmora 2.1.0 is out (arrow.down.circle.fill) Released 2026-12-01. What's new "
            "and the download are in Settings.\n");
}

TEST(MenuPopoverView, FortyEightDesktopsScrollWithinTheTallestPopover) {
  PopoverWorld w(16, 3);
  w.popover->toggle(w.anchor);
  const MenuPopoverView& view = w.popover->view();
  ASSERT_EQ(view.rows().size(), 48u);
  EXPECT_LE(view.size().height, MenuPopoverView::kMaxHeight);
  // Each display's current desktop is marked; the first's is in view on opening.
  EXPECT_EQ(view.scroll(), 0);
  // Row 40 is below the fold: the user turns the wheel over the popover, and the click lands
  // on it. Turning on past the end stops at the last row.
  const PopoverSpaceRow& row = view.rows()[39];
  const ScreenRect f = w.mac.popovers().all().front()->frame();
  w.mac.scrollWheel({f.midX(), f.midY()}, -100000);
  w.loop.advance(0.01);
  const double end = view.scroll();
  EXPECT_GT(end, 0);
  w.mac.scrollWheel({f.midX(), f.midY()}, end - (row.frame.y - 200));
  w.loop.advance(0.01);
  EXPECT_DOUBLE_EQ(view.scroll(), row.frame.y - 200);
  platform::CanvasRect r = row.frame;
  r.y -= view.scroll();
  w.clickContent({r.x + 40, r.y, 40, r.height});
  w.loop.advance(1);
  EXPECT_EQ(w.commands.noted, std::vector<std::string>{"switch to 40"});
}

}  // namespace
}  // namespace velmora
