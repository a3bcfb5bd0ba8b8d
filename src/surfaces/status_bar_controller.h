#pragma once
// The tile in the menu bar: the current desktop's tile and name in Velmora's status item, a
// popover on a click and a menu of every desktop on a right-click. The menu bar is shared and,
// on notched displays, short of room, so the controller watches whether its button is really
// on a screen and falls back step by step — full look, tile alone, no tile at all (the notch
// label may then stand in) — and steps aside while the notch label shows the same thing.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/line_log.h"
#include "core/main_loop.h"
#include "core/notification_center.h"
#include "platform/platform.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/hotkey.h"
#include "store/settings.h"
#include "surfaces/app_commands.h"

namespace velmora {

// Announced whenever the tile leaves or comes back to the menu bar.
inline constexpr const char* kMenuBarTileChanged = "app.velmora.menuBarTileChanged";
// The notch label's own announcement, which makes the tile look again.
inline constexpr const char* kNotchLabelChanged = "app.velmora.notchLabelChanged";

// Where the tile is, for the notch label.
enum class TilePresence { inBar = 0, steppedAside = 1, dropped = 2 };
const char* tilePresenceName(TilePresence presence);

struct StatusBarServices {
  platform::Platform platform;
  NotificationCenter& center;
  SpaceEngine& engine;
  Settings& settings;
  const DesktopPresentation& presentation;
  const KeyNames& keyNames;
  LineLog& log;  // the switches log
  AppCommands& commands;
  // Whether the notch label is on screen now (none: it never is); the tile steps aside for it.
  std::function<bool()> notchLabelVisible;
};

class StatusBarController {
 public:
  static constexpr double kTileSize = 17;
  static constexpr double kTileRadius = 4.5;
  static constexpr double kMenuTileSize = 16;
  static constexpr double kTitleFontSize = 13;
  static constexpr const char* kAutosaveName = "Velmora";
  static constexpr const char* kPositionKey = "NSStatusItem Preferred Position Velmora";
  static constexpr double kFitCheckDelay = 1.5;
  static constexpr double kRetryFullNameDelay = 6.0;
  static constexpr double kConfirmDelay = 0.4;

  // What the button shows; equal looks skip the redraw. The number is part of it: the tile,
  // the automatic colour and the tooltip all follow it when an earlier desktop goes.
  struct Look {
    SpaceID id;
    int number = 0;
    std::string name;
    std::string icon;
    std::int64_t color = 0;
    MenuBarStyle style = MenuBarStyle::iconAndName;
    double maxWidth = 0;
    bool compact = false;
    std::optional<std::string> badge;
    bool operator==(const Look&) const = default;
  };

  explicit StatusBarController(StatusBarServices services);
  ~StatusBarController();
  StatusBarController(const StatusBarController&) = delete;
  StatusBarController& operator=(const StatusBarController&) = delete;

  void refresh();
  void screensChanged();
  void checkFit();
  // The button's action, with the application's current event.
  void clicked(std::optional<platform::MouseEvent> current);
  // Rebuilds the menu and pops it up at `origin` (the notch label's corner when it stands in).
  void showMenu(ScreenPoint origin);

  TilePresence presence() const;
  bool isInBar() const { return !tileHidden_ && !besideNotch_; }
  std::string presenceReport() const;

  // ---- State, for diagnostics and tests ----
  const std::optional<Look>& rendered() const { return rendered_; }
  bool compact() const { return compact_; }
  bool tileHidden() const { return tileHidden_; }
  bool besideNotch() const { return besideNotch_; }
  bool fitChecksArmed() const { return fitChecksArmed_; }
  int screensGeneration() const { return screensGeneration_; }
  bool confirming() const { return confirming_; }
  platform::StatusItem& item() { return *item_; }
  // The menu as the next opening builds it.
  platform::Menu buildMenu() const;

 private:
  bool isOnScreen() const;
  void statusWindowMoved();
  void confirm();
  void menuAction(const platform::MenuItem& item);
  void menuDidClose();
  void setTileHidden(bool hidden);
  std::optional<std::string> waitingBadge() const;
  std::shared_ptr<const platform::VectorImage> lifted(
      std::shared_ptr<const platform::VectorImage> image) const;
  void log(const std::string& line) { s_.log.write(line); }

  StatusBarServices s_;
  std::unique_ptr<platform::StatusItem> item_;
  std::optional<Look> rendered_;
  bool compact_ = false;
  bool tileHidden_ = false;
  bool besideNotch_ = false;
  bool fitChecksArmed_ = false;
  int screensGeneration_ = 0;
  bool confirming_ = false;
  std::vector<ObserverToken> observers_;
  Lifetime lifetime_;
};

}  // namespace velmora
