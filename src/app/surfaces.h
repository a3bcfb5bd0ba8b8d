#pragma once
// What the application delegate asks of the things the user sees: the switch tag and its
// toasts, the Mission Control overlay, the quick switcher, the notch label, the menu bar tile,
// the popover, the hover strip, the settings and first-run windows, and the update checker.
// Each is an interface so the delegate's wiring stays the same whoever draws them; the
// drawn ones live in surfaces/ and settings_ui/, and the virtual Mac's stand-ins for those
// still to come record every request instead of drawing.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_menu.h"
#include "core/notification_center.h"
#include "platform/platform.h"
#include "settings_ui/settings_model.h"
#include "spaces/desktop.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/log_file.h"
#include "store/settings.h"
#include "store/space_store.h"
#include "surfaces/app_commands.h"
#include "surfaces/menu_popover.h"
#include "surfaces/status_bar_controller.h"
#include "switching/hotkey_center.h"

namespace velmora {

// What every surface may work with: the shared objects, and the application's commands.
struct SurfaceContext {
  platform::Platform platform;
  NotificationCenter& center;
  Settings& settings;
  SpaceStore& store;
  SpaceEngine& engine;
  const DesktopPresentation& presentation;
  const KeyNames& keyNames;
  HotkeyCenter& hotkeyCenter;
  Logs& logs;
  AppCommands& commands;
  SystemShortcuts& shortcuts;
  // What the settings window's pages reach above the surfaces for (updates, launch at login,
  // counted time, diagnostics), made when the window is.
  std::function<SettingsHooks()> settingsHooks;
};

// The tag shown on every landing; it also carries short messages with a symbol (toasts).
class SwitchTag {
 public:
  virtual ~SwitchTag() = default;
  // The desktop just landed on, on the display that switched.
  virtual void show(const Desktop& desktop, const std::string& displayUUID) = 0;
  virtual void toast(const std::string& text, const std::string& symbol, double seconds) = 0;
  // The tag for the current desktop, so the user can judge the settings.
  virtual void preview() = 0;
};

// Name pills over Mission Control's thumbnails (surfaces/mission_control_overlay.h), and what
// Velmora knows about Mission Control while they run.
class MissionControlLabels {
 public:
  virtual ~MissionControlLabels() = default;
  virtual void start() = 0;
  virtual void stop() = 0;
  // Opens Mission Control and presses the thumbnail of the desktop with this number; `done`
  // hears once whether it pressed.
  virtual void press(int desktopNumber, std::function<void(bool pressed)> done) = 0;
  // Whether Mission Control is open as far as Velmora has seen.
  virtual bool isOpen() const = 0;
  // What the last look at Mission Control's desktop bars found; empty when it read nothing.
  virtual std::string lastReport() const = 0;
  // Mission Control closed while Velmora could not read it (no Accessibility grant).
  void setOnClosedWithoutAccess(std::function<void()> fn) {
    onClosedWithoutAccess_ = std::move(fn);
  }
  // Mission Control opened (true) or closed (false).
  void setOnMissionControlChanged(std::function<void(bool open)> fn) {
    onMissionControlChanged_ = std::move(fn);
  }

 protected:
  void closedWithoutAccess() {
    if (onClosedWithoutAccess_) onClosedWithoutAccess_();
  }
  void missionControlChanged(bool open) {
    if (onMissionControlChanged_) onMissionControlChanged_(open);
  }
  std::function<void()> onClosedWithoutAccess_;
  std::function<void(bool open)> onMissionControlChanged_;
};

// The search panel over every desktop (surfaces/quick_switcher.h).
class QuickSwitcherSurface {
 public:
  virtual ~QuickSwitcherSurface() = default;
  virtual void open() = 0;
  virtual void toggle() = 0;
};

// The desktop's name beside the camera notch.
class NotchName {
 public:
  virtual ~NotchName() = default;
  virtual bool isShowing() const = 0;
  virtual void applySettings() = 0;
  virtual void refresh() = 0;
  virtual void preview(double seconds) = 0;
  virtual void missionControlChanged(bool open) = 0;
  // One line per notched screen, for the diagnostics text.
  virtual std::vector<std::string> report() { return {}; }
  // The frame of the label on screen, for the popover to hang from; none while it is away.
  virtual std::optional<ScreenRect> anchor() const { return std::nullopt; }
  // Where the menu bar tile is; the label stands in for it when the bar dropped it.
  void setTilePresence(std::function<TilePresence()> fn) { tilePresence_ = std::move(fn); }
  // A click on the label standing in: its frame to anchor to, and whether it was the right
  // button (the tile's menu) or the left (the desktops popover).
  void setOnClick(std::function<void(ScreenRect, bool right)> fn) { onClick_ = std::move(fn); }

 protected:
  std::function<TilePresence()> tilePresence_;
  std::function<void(ScreenRect, bool)> onClick_;
};

// The tile in the menu bar.
class MenuBarTile {
 public:
  virtual ~MenuBarTile() = default;
  virtual bool isShowing() const = 0;
  virtual void refresh() = 0;
  // Whether the item found room in the menu bar; it falls back when it did not.
  virtual void checkFits() = 0;
  // One line on where the item is and why, for the diagnostics text.
  virtual std::string presenceReport() const = 0;
  virtual TilePresence presence() const = 0;
  // The tile's menu at `origin`, for the notch label standing in.
  virtual void showMenu(ScreenPoint origin) = 0;
  // The tile's button for the popover to hang from; none while it is not in the bar.
  virtual std::optional<platform::PopoverAnchor> popoverAnchor() { return std::nullopt; }
};

// The desktops popover, hung from the tile or from the notch label standing in for it.
class MenuPopoverController {
 public:
  enum class Anchor { tile, notch };
  using AnchorFn = std::function<std::optional<platform::PopoverAnchor>(Anchor)>;
  virtual ~MenuPopoverController() = default;
  // Closes it when shown, otherwise shows the list page.
  virtual void toggle(Anchor anchor) = 0;
  // The list page, or the editor of `edit` inside the popover.
  virtual void show(Anchor anchor, std::optional<Desktop> edit) = 0;
  // Closes at once, without the closing animation: a command was picked.
  virtual void closeNow() = 0;
  // The Accessibility grant or the known versions changed: the notices follow.
  virtual void refresh() {}
  // Where each anchor is on screen now.
  void setAnchors(AnchorFn fn) { anchors_ = std::move(fn); }
  // What the notices read.
  virtual void setSources(PopoverSources sources) { sources_ = std::move(sources); }

 protected:
  std::optional<platform::PopoverAnchor> anchorFor(Anchor anchor) const {
    return anchors_ ? anchors_(anchor) : std::nullopt;
  }
  AnchorFn anchors_;
  PopoverSources sources_;
};

// The strip at the top edge.
class SpaceHover {
 public:
  virtual ~SpaceHover() = default;
  virtual void start() = 0;
  virtual void stop() = 0;
  virtual void show(double seconds) = 0;
  // Mission Control opened (true) or closed (false): the strip makes way for it.
  virtual void missionControlChanged(bool open) = 0;
  // Whether Mission Control is open now: no strip comes in over it.
  void setMissionControlIsOpen(std::function<bool()> fn) { missionControlIsOpen_ = std::move(fn); }

 protected:
  bool missionControlIsOpen() const { return missionControlIsOpen_ && missionControlIsOpen_(); }
  std::function<bool()> missionControlIsOpen_;
};

class SettingsWindow {
 public:
  virtual ~SettingsWindow() = default;
  // At the given page, else at the page it showed last.
  virtual void show(std::optional<SettingsPage> page) = 0;
  // The desktops page with this desktop's editor open.
  virtual void edit(const Desktop& desktop) = 0;
};

class FirstRunWindow {
 public:
  virtual ~FirstRunWindow() = default;
  virtual void show() = 0;
  virtual void close() = 0;
  virtual bool isShowing() const = 0;
};

// Makes the surfaces, each when the delegate first needs it.
class SurfaceKit {
 public:
  using Context = SurfaceContext;
  virtual ~SurfaceKit() = default;
  virtual std::unique_ptr<SwitchTag> makeSwitchHUD(const Context& context) = 0;
  virtual std::unique_ptr<MissionControlLabels> makeOverlay(const Context& context) = 0;
  virtual std::unique_ptr<QuickSwitcherSurface> makeQuickSwitcher(const Context& context) = 0;
  virtual std::unique_ptr<NotchName> makeNotchName(const Context& context) = 0;
  // The tile asks whether the notch label shows, to step aside for it.
  virtual std::unique_ptr<MenuBarTile> makeStatusBar(const Context& context,
                                                     std::function<bool()> notchIsShowing) = 0;
  virtual std::unique_ptr<MenuPopoverController> makePopover(const Context& context) = 0;
  virtual std::unique_ptr<SpaceHover> makeHover(const Context& context) = 0;
  virtual std::unique_ptr<SettingsWindow> makeSettingsWindow(const Context& context) = 0;
  virtual std::unique_ptr<FirstRunWindow> makeFirstRunWindow(const Context& context) = 0;
};

}  // namespace velmora
