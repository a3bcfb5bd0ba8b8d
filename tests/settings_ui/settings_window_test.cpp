// The settings window on the virtual Mac, over a small settings model of its own: where the
// user's clicks and keys land, how the focus walks and wraps, what a page change and the
// desktop editor do to it, scrolling, and closing and opening it again.
#include "settings_ui/settings_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "drawing/recording_canvas.h"
#include "golden.h"
#include "platform/key_codes.h"
#include "settings_ui/edit_space_view.h"
#include "spaces/engine_world.h"

namespace velmora {
namespace {

namespace keys = platform::keys;
using platform::kEventFlagCommand;
using platform::kEventFlagShift;

SettingsControl make(std::string id, ControlKind kind, std::string label = {}) {
  SettingsControl c;
  c.id = std::move(id);
  c.kind = kind;
  c.label = std::move(label);
  return c;
}

// Pages in the window's order; the switch tag's is a form of every kind, the desktops page a
// long list, the shortcuts page a recorder. Every call is noted and acts as the real model
// would, then `changed` fires.
class FakeSettings final : public SettingsActions {
 public:
  std::vector<std::string> calls;
  SettingsPage current = SettingsPage::switchTag;
  bool hudOn = true;
  int position = 1, size = 0;
  double duration = 1.5;
  bool recording = false;
  int desktops = 48;
  std::string status;
  std::function<void(std::string_view)> onPress;
  EditSpaceView* open = nullptr;

  std::vector<SettingsPageEntry> pages() const override {
    static constexpr std::array<std::string_view, 8> kTitles{
        "Desktops", "Mission Control", "Switch Tag", "Hover Strip", "Shortcuts",
        "Time",     "General",         "About"};
    std::vector<SettingsPageEntry> entries;
    for (std::size_t i = 0; i < kSettingsPages.size(); ++i) {
      entries.push_back({kSettingsPages[i], kTitles[i], "gearshape.fill"});
    }
    return entries;
  }
  SettingsPage page() const override { return current; }
  void showPage(SettingsPage page) override {
    note("showPage " + std::to_string(static_cast<int>(page)));
    current = page;
    changed_.emit();
  }
  SettingsPageContent content() const override {
    SettingsPageContent c;
    c.page = current;
    c.status = status;
    SettingsSection section;
    if (current == SettingsPage::switchTag) {
      c.title = "Switch Tag";
      SettingsControl toggle = make("hudEnabled", ControlKind::toggle, "Show the tag");
      toggle.on = hudOn;
      SettingsControl sound = make("hudSound", ControlKind::toggle, "Play a sound");
      sound.enabled = false;
      SettingsControl picker = make("hudPosition", ControlKind::picker, "Position");
      picker.choices = {"Top", "Middle", "Bottom"};
      picker.selected = position;
      SettingsControl sizes = make("hudSize", ControlKind::segmented, "Size");
      sizes.choices = {"Small", "Medium", "Large"};
      sizes.selected = size;
      SettingsControl slider = make("hudDuration", ControlKind::slider, "Stays for");
      slider.minimum = 0.5;
      slider.maximum = 5;
      slider.step = 0.5;
      slider.number = duration;
      SettingsControl art = make("hudPreview", ControlKind::art);
      art.artHeight = 60;
      art.art = [](platform::Canvas&, const platform::CanvasRect&) {};
      SettingsControl note = make("hudNote", ControlKind::status);
      note.title = "Shown on the display that switched";
      SettingsControl preview = make("previewHUD", ControlKind::button);
      preview.title = "Preview";
      section.controls = {toggle, sound, picker, sizes, slider, art, note, preview};
    } else if (current == SettingsPage::spaces) {
      c.title = "Desktops";
      for (int n = 1; n <= desktops; ++n) {
        SettingsControl d = make("desktop." + std::to_string(n), ControlKind::desktop);
        d.title = "Desktop " + std::to_string(n);
        d.help = d.title;
        section.controls.push_back(d);
      }
    } else if (current == SettingsPage::shortcuts) {
      c.title = "Shortcuts";
      SettingsControl recorder = make("quickSwitcherHotkey", ControlKind::recorder, "Search");
      recorder.title = recording ? "Press shortcut…" : "⌃⌥Space";
      recorder.on = recording;
      recorder.hasClear = !recording;
      SettingsControl reset = make("resetShortcuts", ControlKind::button);
      reset.title = "Reset All";
      reset.destructive = true;
      section.controls = {recorder, reset};
    } else {
      c.title = "Elsewhere";
      section.controls = {make("launchAtLogin", ControlKind::toggle, "Open at login")};
    }
    c.sections = {section};
    return c;
  }
  void toggle(std::string_view id) override {
    note("toggle " + std::string(id));
    if (id == "hudEnabled") hudOn = !hudOn;
    changed_.emit();
  }
  void choose(std::string_view id, int index) override {
    note("choose " + std::string(id) + " " + std::to_string(index));
    (id == "hudSize" ? size : position) = index;
    changed_.emit();
  }
  void setNumber(std::string_view id, double value) override {
    note("setNumber " + std::string(id) + " " + testing::num(value));
    duration = value;
    changed_.emit();
  }
  void press(std::string_view id) override {
    note("press " + std::string(id));
    if (onPress) onPress(id);
    changed_.emit();
  }
  void clear(std::string_view id) override {
    note("clear " + std::string(id));
    changed_.emit();
  }
  EditSpaceView* editor() override { return open; }
  Signal& changed() override { return changed_; }

 private:
  void note(std::string call) { calls.push_back(std::move(call)); }
  Signal changed_;
};

struct SettingsWorld : testing::EngineWorld {
  FakeSettings settings;
  std::unique_ptr<SettingsWindowController> window;
  std::vector<std::uint16_t> passedOn;  // keys the window let through
  bool watching = false;

  SettingsWorld() {
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
