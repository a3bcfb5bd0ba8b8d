#pragma once
// The surfaces that draw, behind the interfaces the delegate works with: the switch tag, the
// menu bar tile, the quick switcher and the names over Mission Control. A kit hands these out where
// it has nothing of its own to offer.
#include <functional>
#include <memory>

#include "app/surfaces.h"
#include "surfaces/hover_strip.h"
#include "surfaces/menu_popover.h"
#include "surfaces/mission_control_overlay.h"
#include "surfaces/notch_label.h"
#include "surfaces/quick_switcher.h"
#include "surfaces/status_bar_controller.h"
#include "surfaces/switch_hud.h"

namespace velmora {

class DrawnSwitchTag final : public SwitchTag {
 public:
  explicit DrawnSwitchTag(const SurfaceContext& context);
  void show(const Desktop& desktop, const std::string& displayUUID) override;
  void toast(const std::string& text, const std::string& symbol, double seconds) override;
  void preview() override;
  SwitchHUD& hud() { return hud_; }

 private:
  SwitchHUD hud_;
};

class DrawnMenuBarTile final : public MenuBarTile {
 public:
  DrawnMenuBarTile(const SurfaceContext& context, std::function<bool()> notchIsShowing);
  bool isShowing() const override { return controller_.isInBar(); }
  void refresh() override { controller_.refresh(); }
  void checkFits() override { controller_.checkFit(); }
  std::string presenceReport() const override { return controller_.presenceReport(); }
  TilePresence presence() const override { return controller_.presence(); }
  void showMenu(ScreenPoint origin) override { controller_.showMenu(origin); }
  std::optional<platform::PopoverAnchor> popoverAnchor() override;
  StatusBarController& controller() { return controller_; }

 private:
  StatusBarController controller_;
};

class DrawnQuickSwitcher final : public QuickSwitcherSurface {
 public:
  explicit DrawnQuickSwitcher(const SurfaceContext& context);
  void open() override { switcher_.open(); }
  void toggle() override { switcher_.toggle(); }
  QuickSwitcher& switcher() { return switcher_; }

 private:
  QuickSwitcher switcher_;
};

class DrawnMissionControlLabels final : public MissionControlLabels {
 public:
  // `stopwatch` times the passes (a steady clock when none).
  explicit DrawnMissionControlLabels(const SurfaceContext& context,
                                     std::function<double()> stopwatch = nullptr);
  void start() override { overlay_.start(); }
  void stop() override { overlay_.stop(); }
  void press(int desktopNumber, std::function<void(bool)> done) override {
    overlay_.pressThumbnail(desktopNumber, std::move(done));
  }
  bool isOpen() const override { return overlay_.detector().isOpen(); }
  std::string lastReport() const override { return overlay_.lastReport(); }
  MissionControlOverlay& overlay() { return overlay_; }

 private:
  MissionControlOverlay overlay_;
};

// The label is started by the first settings it is given, once the delegate has told it where
// the tile is.
class DrawnNotchName final : public NotchName {
 public:
  explicit DrawnNotchName(const SurfaceContext& context);
  bool isShowing() const override { return label_.isVisible(); }
  void applySettings() override;
  void refresh() override { label_.refresh(); }
  void preview(double seconds) override { label_.preview(seconds); }
  void missionControlChanged(bool open) override { label_.setMissionControlOpen(open); }
  std::vector<std::string> report() override { return label_.report(); }
  std::optional<ScreenRect> anchor() const override { return label_.anchor(); }
  NotchLabel& label() { return label_; }

 private:
  NotchLabel label_;
};

class DrawnSpaceHover final : public SpaceHover {
 public:
  explicit DrawnSpaceHover(const SurfaceContext& context);
  void start() override { strip_.start(); }
  void stop() override { strip_.stop(); }
  void show(double seconds) override { strip_.showStrip(seconds); }
  void missionControlChanged(bool open) override { strip_.missionControlChanged(open); }
  HoverStrip& strip() { return strip_; }

 private:
  HoverStrip strip_;
};

// The popover; its edit page shows the desktop editor of the settings window.
class DrawnMenuPopover final : public MenuPopoverController {
 public:
  explicit DrawnMenuPopover(const SurfaceContext& context);
  void toggle(Anchor anchor) override;
  void show(Anchor anchor, std::optional<Desktop> edit) override;
  void closeNow() override { popover_.closeNow(); }
  void refresh() override;
  void setSources(PopoverSources sources) override { popover_.setSources(std::move(sources)); }
  MenuPopover& popover() { return popover_; }

 private:
  MenuPopover popover_;
};

}  // namespace velmora
