// The settings window on the virtual Mac, over a small settings model of its own: where the
// user's clicks and keys land, how the focus walks and wraps, what a page change and the
// desktop editor do to it, scrolling, and closing and opening it again.
#include "settings_ui/settings_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "drawing/glyph.h"
#include "drawing/recording_canvas.h"
#include "golden.h"
#include "platform/key_codes.h"
#include "platform/linux/drawing_host.h"
#include "settings_ui/edit_space_view.h"
#include "settings_ui/fake_settings.h"
#include "spaces/engine_world.h"

namespace velmora {
namespace {

namespace keys = platform::keys;
using platform::kEventFlagCommand;
using platform::kEventFlagShift;
using testing::FakeSettings;

struct SettingsWorld : testing::EngineWorld {
  FakeSettings settings;
  std::unique_ptr<SettingsWindowController> window;
  std::vector<std::uint16_t> passedOn;  // keys the window let through
  bool watching = false;

  SettingsWorld() { setUp(); }
  // Drawing with real fonts and symbols, for what the window looks like.
  explicit SettingsWorld(linuxhost::HostServices host) : EngineWorld(host) {
    Glyph::setServices({&mac.symbols(), &mac.platform().images, &mac.canvases(), {}});
    setUp();
  }
  ~SettingsWorld() { Glyph::setServices({}); }
  void setUp() {
    display("MAIN", 3);
    window = std::make_unique<SettingsWindowController>(settings, mac.platform());
  }
  void show(std::optional<SettingsPage> page = std::nullopt) {
    window->show(page);
    loop.runPending();
    // After the window's own monitor, as the field behind it would be.
    if (!watching) {
      watching = true;
      mac.keyboard().addLocalMonitor(platform::kNSEventMaskKeyDown, [this](const auto& e) {
        passedOn.push_back(e.keyCode);
        return false;
      });
    }
    settings.calls.clear();
  }
  void press(std::uint16_t key, std::uint64_t flags = 0) {
    mac.keyboard().userPress(key, flags);
    loop.runPending();
  }
  void click(ScreenPoint point) {
    mac.click(point);
    loop.runPending();
  }
  void click(const std::optional<ScreenRect>& frame, double across = 0.5) {
    ASSERT_TRUE(frame);
    click({frame->minX() + frame->size.width * across, frame->midY()});
  }
  // Each Tab's focus, from where it is now.
  std::vector<std::string> tabs(int count, std::uint64_t flags = 0) {
    std::vector<std::string> seen;
    for (int i = 0; i < count; ++i) {
      press(keys::kTab, flags);
      seen.push_back(window->focusedId());
    }
    return seen;
  }
  std::vector<std::string> texts() {
    testing::RecordingCanvas canvas(SettingsWindowController::kSize);
    window->draw(canvas, SettingsWindowController::kSize);
    std::vector<std::string> found;
    for (const auto& t : canvas.texts) found.push_back(t.text);
    return found;
  }
  bool shows(std::string_view text) {
    const auto all = texts();
    return std::find(all.begin(), all.end(), text) != all.end();
  }
};

using Calls = std::vector<std::string>;

// The form as a Mac settings window draws it: the sidebar with the page lit, a grouped
// section of every kind of control, the failure line on top and the focus ring on the
// segmented control; then the shortcuts page's recorder, table and progress bar, and the
// desktops.
TEST(SettingsWindow, DrawsAMacSettingsForm) {
  SettingsWorld w(test_support::drawingHost());
  w.settings.status = "Could not change launch at login: the system said no.";
  w.show(SettingsPage::switchTag);
  w.tabs(3);
  auto canvas = w.mac.canvases().makeCanvas(SettingsWindowController::kSize, 1);
  ASSERT_TRUE(canvas);
  w.window->draw(*canvas, SettingsWindowController::kSize);
  EXPECT_TRUE(testing::matchesGoldenPNG("settings_ui/settings_form.png", *canvas));
  w.settings.status.clear();
  w.press(platform::keys::kDigits[5], platform::kEventFlagCommand);
  canvas = w.mac.canvases().makeCanvas(SettingsWindowController::kSize, 1);
  w.window->draw(*canvas, SettingsWindowController::kSize);
  EXPECT_TRUE(testing::matchesGoldenPNG("settings_ui/settings_shortcuts.png", *canvas));
  // The desktops, a row each: tile, name, number, shortcut and the chevron into the editor.
  w.settings.desktops = 5;
  w.press(platform::keys::kDigits[1], platform::kEventFlagCommand);
  canvas = w.mac.canvases().makeCanvas(SettingsWindowController::kSize, 1);
  w.window->draw(*canvas, SettingsWindowController::kSize);
  EXPECT_TRUE(testing::matchesGoldenPNG("settings_ui/settings_desktops.png", *canvas));
}

// Every kind of control answers a click at its real place on screen with its own call; a
// disabled one, a status line and the art take none.
TEST(SettingsWindow, ClicksLandOnTheRightCalls) {
  SettingsWorld w;
  w.show(SettingsPage::switchTag);
  w.click(w.window->controlFrame("hudEnabled"));
  w.click(w.window->controlFrame("hudSound"));
  w.click(w.window->controlFrame("hudSize"), 5.0 / 6);
  w.click(w.window->controlFrame("hudDuration"), 0.75);
  w.click(w.window->controlFrame("hudPreview"));
  w.click(w.window->controlFrame("hudNote"));
  w.click(w.window->controlFrame("previewHUD"));
  // The pop-up button opens its choices as a menu, the current one checked.
  w.click(w.window->controlFrame("hudPosition"));
  ASSERT_TRUE(w.mac.menuBar().openMenu());
  EXPECT_TRUE(w.mac.menuBar().openMenu()->menu.items.at(1).checked);
  EXPECT_TRUE(w.mac.menuBar().choose("Bottom"));
  w.loop.runPending();
  w.click(w.window->pageFrame(SettingsPage::shortcuts));
  w.click(w.window->controlFrame("quickSwitcherHotkey"), 0.3);
  ASSERT_TRUE(w.window->controlFrame("quickSwitcherHotkey"));
  w.click({w.window->controlFrame("quickSwitcherHotkey")->maxX() - 14,
           w.window->controlFrame("quickSwitcherHotkey")->midY()});
  EXPECT_EQ(w.settings.calls,
            (Calls{"toggle hudEnabled", "choose hudSize 2", "setNumber hudDuration 4",
                   "press previewHUD", "choose hudPosition 2", "showPage 4",
                   "press quickSwitcherHotkey", "clear quickSwitcherHotkey"}));
  // Each change is drawn at once from what the settings hold now.
  w.settings.current = SettingsPage::switchTag;
  w.settings.status = "Could not change launch at login: denied.";
  w.settings.changed().emit();
  EXPECT_TRUE(w.shows("Bottom"));
  EXPECT_TRUE(w.shows("Could not change launch at login: denied."));
}

// Tab walks the sidebar and then every enabled control the keyboard can reach, wrapping
// round both ways; Space, Return and the arrows act on the focused one.
TEST(SettingsWindow, KeyboardFocusWalksTheControlsAndActs) {
  SettingsWorld w;
  w.show(SettingsPage::switchTag);
  EXPECT_EQ(w.window->focusedId(), SettingsView::kSidebarFocus);
  EXPECT_EQ(w.tabs(6), (Calls{"hudEnabled", "hudPosition", "hudSize", "hudDuration", "previewHUD",
                              "sidebar"}));
  EXPECT_EQ(w.tabs(2, kEventFlagShift), (Calls{"previewHUD", "hudDuration"}));
  w.press(keys::kLeftArrow);   // 1.5 → 1
  w.press(keys::kRightArrow);  // 1 → 1.5
  w.tabs(1, kEventFlagShift);  // the segmented control
  w.press(keys::kRightArrow);
  w.press(keys::kRightArrow);
  w.press(keys::kRightArrow);  // already at the last segment: nothing
  w.tabs(2, kEventFlagShift);  // the toggle
  w.press(keys::kSpace);
  w.press(keys::kReturn);
  EXPECT_EQ(w.settings.calls,
            (Calls{"setNumber hudDuration 1", "setNumber hudDuration 1.5", "choose hudSize 1",
                   "choose hudSize 2", "toggle hudEnabled", "toggle hudEnabled"}));
  EXPECT_TRUE(w.passedOn.empty());
}

// A new page, by ⌘-digit, by ↑/↓ on the sidebar or by a click, starts with the focus on
// the sidebar, so Tab walks it from its first control.
TEST(SettingsWindow, APageChangeStartsTheFocusAtTheSidebar) {
  SettingsWorld w;
  w.show(SettingsPage::switchTag);
  w.tabs(3);
  EXPECT_EQ(w.window->focusedId(), "hudSize");
  w.press(keys::kDigits[5], kEventFlagCommand);
  EXPECT_EQ(w.settings.page(), SettingsPage::shortcuts);
  EXPECT_EQ(w.window->focusedId(), SettingsView::kSidebarFocus);
  w.press(keys::kUpArrow);
  EXPECT_EQ(w.settings.page(), SettingsPage::spaceHover);
  w.press(keys::kDownArrow);
  EXPECT_EQ(w.tabs(1), Calls{"quickSwitcherHotkey"});
  // ↑/↓ away from the sidebar are the control's, not the page's.
  w.press(keys::kDownArrow);
  EXPECT_EQ(w.settings.page(), SettingsPage::shortcuts);
  w.click(w.window->pageFrame(SettingsPage::spaces));
  EXPECT_EQ(w.window->focusedId(), SettingsView::kSidebarFocus);
  EXPECT_EQ(w.tabs(1), Calls{"desktop.1"});
  EXPECT_EQ(w.settings.calls, (Calls{"showPage 4", "showPage 3", "showPage 4", "showPage 0"}));
}

// While a recorder records, every key is the shortcut's: the window lets them all through.
TEST(SettingsWindow, ARecordingRecorderKeepsTheKeys) {
  SettingsWorld w;
  w.show(SettingsPage::shortcuts);
  w.tabs(1);
  w.press(keys::kSpace);
  w.settings.recording = true;
  w.settings.changed().emit();
  w.press(keys::kTab);
  w.press(keys::kEscape);
  EXPECT_EQ(w.passedOn, (std::vector<std::uint16_t>{keys::kTab, keys::kEscape}));
  EXPECT_TRUE(w.window->isOpen());
  EXPECT_EQ(w.window->focusedId(), "quickSwitcherHotkey");
  w.settings.recording = false;
  w.settings.changed().emit();
  w.press(keys::kEscape);
  EXPECT_FALSE(w.window->isOpen());
  EXPECT_EQ(w.settings.calls, Calls{"press quickSwitcherHotkey"});
}

// A long page scrolls within its bounds; the focus brings what it lands on into view, and
// another page starts at its top.
TEST(SettingsWindow, ScrollingIsClampedAndFollowsTheFocus) {
  SettingsWorld w;
  w.show(SettingsPage::spaces);
  const SettingsView& view = w.window->view();
  w.window->scrollBy(-120);
  EXPECT_EQ(view.scrollOffset(), 0);
  w.window->scrollBy(1e6);
  EXPECT_GT(view.maxScrollOffset(), 48 * 40.0 - SettingsWindowController::kSize.height);
  EXPECT_EQ(view.scrollOffset(), view.maxScrollOffset());
  w.window->scrollBy(-1e6);
  // Round to the last desktop and back to the first: each is scrolled into view whole.
  auto visible = [&](std::string_view id) {
    std::optional<platform::CanvasRect> f = view.frameOf(id);
    return f && f->y >= 0 && f->y + f->height <= view.size().height;
  };
  EXPECT_FALSE(visible("desktop.48"));
  w.tabs(1, kEventFlagShift);
  EXPECT_EQ(w.window->focusedId(), "desktop.48");
  EXPECT_TRUE(visible("desktop.48"));
  EXPECT_GT(view.scrollOffset(), view.maxScrollOffset() - 100);
  w.tabs(2);
  EXPECT_EQ(w.window->focusedId(), "desktop.1");
  EXPECT_TRUE(visible("desktop.1"));
  EXPECT_LT(view.scrollOffset(), 100);
  // Fewer desktops: the same page keeps its place as far as its new end allows.
  w.window->scrollBy(600);
  const double before = view.scrollOffset();
  w.settings.desktops = 12;
  w.settings.changed().emit();
  EXPECT_LT(view.maxScrollOffset(), before);
  EXPECT_EQ(view.scrollOffset(), view.maxScrollOffset());
  // Another page and back: from the top.
  w.press(keys::kDigits[3], kEventFlagCommand);
  w.press(keys::kDigits[1], kEventFlagCommand);
  EXPECT_GT(view.maxScrollOffset(), 0);
  EXPECT_EQ(view.scrollOffset(), 0);
}

// A desktop row opens the editor in place of the page; its Done and Escape bring the page
// back, and the keys are the page's again.
TEST(SettingsWindow, TheDesktopEditorReplacesThePageUntilItIsDone) {
  SettingsWorld w;
  w.makeEngine();
  HotkeyCenter hotkeys{w.mac.hotKeys(), w.systemLog, w.names};
  EditorServices services{
      *w.engine, w.store,          w.presentation,    w.names,
      hotkeys,   w.mac.keyboard(), w.mac.openPanel(), w.mac.platform().application};
  std::unique_ptr<EditSpaceView> editor;
  w.settings.onPress = [&](std::string_view id) {
    if (!id.starts_with("desktop.")) return;
    editor = std::make_unique<EditSpaceView>(services, *w.engine->desktopWithNumber(2), true, [&] {
      w.settings.open = nullptr;
      w.settings.changed().emit();
    });
    w.settings.open = editor.get();
  };
  w.show(SettingsPage::spaces);
  w.settings.desktops = 3;
  w.settings.changed().emit();
  EXPECT_TRUE(w.shows("Desktop 3"));
  w.click(w.window->controlFrame("desktop.2"));
  EXPECT_FALSE(w.shows("Desktop 3"));
  EXPECT_TRUE(w.shows("Desktop 2"));
  EXPECT_TRUE(w.shows(EditSpaceView::kDoneTitle));
  // Tab belongs to the editor's form while it shows.
  w.press(keys::kTab);
  EXPECT_EQ(w.passedOn, std::vector<std::uint16_t>{keys::kTab});
  w.click(w.window->editorFrame(SettingsView::EditorPart::done));
  EXPECT_TRUE(w.shows("Desktop 3"));
  EXPECT_FALSE(w.window->editorFrame(SettingsView::EditorPart::done));
  // Opened again, Escape leaves the editor but not the window.
  w.click(w.window->controlFrame("desktop.2"));
  w.press(keys::kEscape);
  EXPECT_TRUE(w.shows("Desktop 3"));
  EXPECT_TRUE(w.window->isOpen());
  EXPECT_EQ(w.tabs(1), Calls{"desktop.1"});
}

// Escape, ⌘W and the close button each close it; it comes back centred and key, at the
// page it showed.
TEST(SettingsWindow, ClosedAndOpenedAgain) {
  SettingsWorld w;
  w.show(SettingsPage::general);
  const sim::VirtualPanel* panel = w.mac.panels().named("settings");
  ASSERT_TRUE(panel);
  const ScreenRect centred = panel->frame();
  EXPECT_TRUE(panel->isKey());
  w.press(keys::kEscape);
  EXPECT_FALSE(w.window->isOpen());
  EXPECT_FALSE(w.window->controlFrame("launchAtLogin"));

  w.show();
  EXPECT_TRUE(w.window->isOpen());
  EXPECT_EQ(w.settings.page(), SettingsPage::general);
  w.press(keys::kW, kEventFlagCommand);
  EXPECT_FALSE(w.window->isOpen());

  w.show(SettingsPage::about);
  EXPECT_EQ(w.mac.panels().named("settings")->frame(), centred);
  w.click({centred.minX() + 18, centred.maxY() - SettingsWindowController::kTitleBarHeight / 2});
  EXPECT_FALSE(w.window->isOpen());
  EXPECT_TRUE(w.settings.calls.empty());
}

}  // namespace
}  // namespace velmora
