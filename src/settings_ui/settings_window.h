#pragma once
// The settings window: a titled window centred on the main screen that draws whatever
// `SettingsActions` holds — the sidebar of pages, the current page, or the desktop editor
// while one is open — and turns the user's clicks and keys into calls on it. It keeps no
// option of its own; after every call the actions fire `changed` and the window redraws.
//
// The application makes one with the settings behind it and the platform:
//
//   SettingsWindowController window(settings, platform);
//   window.show(SettingsPage::shortcuts);
//
// The keys, while the window is key and no shortcut recorder records: Tab and Shift-Tab move
// the focus over the sidebar and the page's controls (wrapping round), Space or Return act on
// the focused control, ← and → step a pop-up button, segmented control or slider, ↑ and ↓
// change the page while the sidebar has the focus, ⌘1…⌘8 open a page, Escape or ⌘W close the
// window (Escape leaves the desktop editor first).

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/main_loop.h"
#include "core/signal.h"
#include "platform/local_event_monitors.h"
#include "platform/panels.h"
#include "platform/platform.h"
#include "settings_ui/settings_content.h"
#include "settings_ui/settings_view.h"
#include "settings_ui/window_chrome.h"

namespace velmora {

class SettingsWindowController {
 public:
  static constexpr std::string_view kTitle = "Velmora Settings";
  static constexpr std::string_view kPanelName = "settings";
  static constexpr double kTitleBarHeight = WindowChrome::kTitleBarHeight;
  static constexpr Size kSize{780, 640};

  // `actions` must outlive the window.
  SettingsWindowController(SettingsActions& actions, platform::Platform platform);
  ~SettingsWindowController();
  SettingsWindowController(const SettingsWindowController&) = delete;
  SettingsWindowController& operator=(const SettingsWindowController&) = delete;

  // In front as the key window, at `page` when one is given, else where it was.
  void show(std::optional<SettingsPage> page = std::nullopt);
  void close();
  bool isOpen() const { return panel_ && panel_->isVisible(); }

  // The focused control's id, or SettingsView::kSidebarFocus.
  const std::string& focusedId() const { return view_.focus(); }
  // A control's frame as it is drawn now (scrolled), in screen points; none when the page
  // has no such control or the window is closed.
  std::optional<ScreenRect> controlFrame(std::string_view id) const;
  // The sidebar's row for `page`, in screen points.
  std::optional<ScreenRect> pageFrame(SettingsPage page) const;
  // The open editor's own controls, in screen points.
  std::optional<ScreenRect> editorFrame(SettingsView::EditorPart part) const;

  void scrollBy(double dy);
  const SettingsView& view() const { return view_; }
  const platform::Panel* panel() const { return panel_.get(); }

  // The whole window — title bar, sidebar and page — into a canvas of `size`.
  void draw(platform::Canvas& canvas, Size size) const;

  // What a press of the primary button at `point` (panel coordinates, y down) does; the
  // panel's mouse-down lands here.
  void mouseDown(platform::CanvasPoint point);

 private:
  void refresh();
  // Makes, places and fills the editor's text fields, or drops them with the editor.
  void updateEditorFields();
  bool keyDown(const platform::LocalKeyEvent& event);
  void moveFocus(int by);
  void setFocus(std::string id);
  // Acts on the focused control as Space and Return do.
  void activate();
  // ← (-1) and → (+1) on the focused control.
  void step(int by);
  void openMenu(const SettingsControl& control);
  bool recording() const;
  void removeKeyMonitor();
  std::optional<ScreenRect> toScreen(const platform::CanvasRect& inView) const;

  SettingsActions& actions_;
  platform::Platform platform_;
  SettingsView view_;
  std::unique_ptr<platform::Panel> panel_;
  std::optional<platform::LocalMonitorID> keyMonitor_;
  EditSpaceView* editor_ = nullptr;
  Connection changed_;
  Connection editorChanged_;
  // The editor's name and emoji fields, real ones over its drawn frames while it shows.
  std::unique_ptr<platform::TextField> nameField_;
  std::unique_ptr<platform::TextField> emojiField_;
  Lifetime lifetime_;
};

}  // namespace velmora
