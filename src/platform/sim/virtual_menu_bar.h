#pragma once
// The virtual Mac's menu bar: on the display with the active menu bar, the front
// application's menus run from the left, the system's items (Control Centre, the clock) sit
// at the right edge, and the status items of other applications and of Velmora line up to
// their left, newest leftmost. A notched display keeps the area under the camera free. A
// status item that no longer fits is moved off every screen, as macOS does, and its window
// observers hear that it moved. Menus opened from a status item (or popped up) stay open
// until the user picks an item or dismisses them.
//
// Layout happens on the loop turn after a change, so a burst of changes moves the item once.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/main_loop.h"
#include "core/signal.h"
#include "platform/canvas.h"
#include "platform/preferences.h"
#include "platform/sim/machine.h"
#include "platform/sim/virtual_status_item.h"
#include "platform/status_bar.h"

namespace velmora::sim {

// Another application's status item, as the world describes it.
struct SimMenuExtra {
  std::string owner;   // the application's name, for the record
  std::string title;   // text shown, when no symbol
  std::string symbol;  // a system symbol name shown instead of a title
  double width = 30;   // points the item takes
};

// One thing drawn in a display's menu bar, in drawing coordinates.
struct MenuBarEntry {
  enum class Kind { appleMenu, appName, appMenu, extra, velmora, system, notch };
  Kind kind = Kind::extra;
  ScreenRect frame;
  std::string title;
  std::string symbol;
  // For Velmora's items: the button's image, title and tooltip as set.
  std::shared_ptr<const platform::VectorImage> image;
  bool hidden = false;  // no room: off screen
};

// A menu on screen, with where it opened (its top-left corner, drawing coordinates).
struct OpenMenu {
  platform::Menu menu;
  ScreenPoint location;
  platform::MenuHandlers handlers;
  bool fromStatusItem = false;
};

class VirtualMenuBar final : public platform::StatusBar, private StatusItemHost {
 public:
  // The width the Control Centre and the clock take at the right edge by default.
  static constexpr double kDefaultSystemWidth = 170;
  // Room between the front application's last menu (or the notch) and the first item.
  static constexpr double kMinimumGap = 8;
  // Where an item without room is put: far off every screen.
  static constexpr double kOffScreenX = -32000;

  // Lays out over the machine's displays and front application, again whenever the machine
  // says the menu bar may move; measures with `canvases`; remembers where Velmora's items sit
  // in `preferences` under `defaultsDomain`.
  VirtualMenuBar(Machine& machine, platform::CanvasFactory& canvases,
                 platform::Preferences& preferences, std::string defaultsDomain);
  ~VirtualMenuBar() override;

  // ---- platform::StatusBar ----
  std::unique_ptr<platform::StatusItem> makeStatusItem(const std::string& autosaveName) override;
  void popUpMenu(const platform::Menu& menu, ScreenPoint location,
                 platform::MenuHandlers handlers) override;

  // ---- The world ----
  void setExtras(std::vector<SimMenuExtra> extras);
  const std::vector<SimMenuExtra>& extras() const { return extras_; }
  void setSystemWidth(double width);
  double systemWidth() const { return systemWidth_; }
  // The machine changed in a way that may move the items (front application, displays,
  // active menu bar): lay out again on the next loop turn.
  void setNeedsLayout();
  // Lays out now (what the next turn would do).
  void layoutNow();

  // ---- What the user does ----
  // Clicks Velmora's status item (the first one made, or the one of this autosave name).
  // False when there is none, or it is hidden or off screen.
  bool click(platform::MouseEvent::Type button, std::uint64_t modifierFlags,
             const std::string& autosaveName = {});
  // Chooses the enabled item of the open menu whose title is `title`; false when no menu is
  // open or it has no such enabled item.
  bool choose(const std::string& title);
  // Dismisses the open menu (Escape, a click elsewhere); false when none was open.
  bool dismissMenu();

  // ---- Looking at it ----
  const std::optional<OpenMenu>& openMenu() const { return openMenu_; }
  // What the display's menu bar shows, left to right; empty for a display without a bar.
  std::vector<MenuBarEntry> entries(const std::string& displayUUID) const;
  // Velmora's item by autosave name (the first one when empty); null when there is none.
  const VirtualStatusItem* item(const std::string& autosaveName = {}) const;
  // How often an item's window moved (or changed occlusion) since the machine started.
  int windowMoves() const { return windowMoves_; }

 private:
  // ---- StatusItemHost ----
  void itemChanged() override { setNeedsLayout(); }
  void itemGone(const VirtualStatusItem& item) override;
  void openMenuOf(const VirtualStatusItem& item) override;
  double measureTitle(const std::string& title, const platform::Font& font) override {
    return measure(title, font);
  }
  std::string truncateTitle(const std::string& title, const platform::Font& font,
                            double width) override;

  double measure(const std::string& text, const platform::Font& font) const;
  platform::Canvas& measuring() const;

  const Machine& machine_;
  MainLoop& loop_;
  platform::CanvasFactory& canvases_;
  platform::Preferences& preferences_;
  std::string defaultsDomain_;
  mutable std::unique_ptr<platform::Canvas> measuring_;
  std::vector<VirtualStatusItem*> items_;  // creation order
  std::vector<SimMenuExtra> extras_;
  double systemWidth_ = kDefaultSystemWidth;
  std::optional<OpenMenu> openMenu_;
  bool layoutQueued_ = false;
  int windowMoves_ = 0;
  std::shared_ptr<char> alive_;
  Connection machineChanges_;
};

}  // namespace velmora::sim
