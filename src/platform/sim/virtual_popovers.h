#pragma once
// The virtual Mac's popovers: each is a panel the window server records and the compositor
// draws, hung below its anchor and kept on the anchor's screen. The popover's window is key
// while it shows, so a click anywhere else (the desktop, another application, another of
// Velmora's panels) takes the key status away and the transient popover closes, as on a Mac.
#include <functional>
#include <memory>
#include <vector>

#include "core/main_loop.h"
#include "platform/popover.h"
#include "platform/screens.h"
#include "platform/sim/virtual_panels.h"

namespace velmora::sim {

class VirtualPopover final : public platform::Popover {
 public:
  // The gap between the anchor's lower edge and the popover's top: the arrow's height.
  static constexpr double kArrowHeight = 10;
  static constexpr int kLevel = 101;  // NSPopUpMenuWindowLevel

  using Registry = std::shared_ptr<std::vector<VirtualPopover*>>;
  VirtualPopover(MainLoop& loop, platform::Panels& panels, platform::Screens& screens,
                 Registry registry, platform::PopoverConfig config);
  ~VirtualPopover() override;

  const platform::PopoverConfig& config() const override { return config_; }
  void setContentSize(Size size) override;
  Size contentSize() const override { return config_.contentSize; }
  void setContent(platform::PanelDraw draw) override { panel_->setContent(std::move(draw)); }
  void setNeedsDisplay() override { panel_->setNeedsDisplay(); }
  void show(const platform::PopoverAnchor& anchor) override;
  void close(bool animated) override;
  bool isShown() const override { return shown_; }
  ScreenRect frame() const override { return shown_ ? panel_->frame() : ScreenRect{}; }
  void setOnDidClose(std::function<void()> fn) override { onDidClose_ = std::move(fn); }
  void setOnPointerMoved(std::function<void(platform::CanvasPoint)> fn) override {
    panel_->setOnPointerMoved(std::move(fn));
  }
  void setOnMouseDown(std::function<void(platform::CanvasPoint)> fn) override {
    panel_->setOnMouseDown(std::move(fn));
  }
  void setOnScrollWheel(std::function<void(platform::CanvasPoint, double)> fn) override {
    panel_->setOnScrollWheel(std::move(fn));
  }

  // ---- Looking at it ----
  const platform::Panel& panel() const { return *panel_; }
  // Where it was last shown from, and whether its last close was animated.
  const platform::PopoverAnchor& anchor() const { return anchor_; }
  bool lastCloseAnimated() const { return lastCloseAnimated_; }
  int showCount() const { return shows_; }

 private:
  void place();

  MainLoop& loop_;
  platform::Screens& screens_;
  Registry registry_;
  platform::PopoverConfig config_;
  std::unique_ptr<platform::Panel> panel_;
  platform::PopoverAnchor anchor_;
  bool shown_ = false;
  bool lastCloseAnimated_ = false;
  int shows_ = 0;
  std::function<void()> onDidClose_;
  Lifetime lifetime_;
};

class VirtualPopovers final : public platform::Popovers {
 public:
  VirtualPopovers(MainLoop& loop, platform::Panels& panels, platform::Screens& screens)
      : loop_(loop), panels_(panels), screens_(screens) {}
  std::unique_ptr<platform::Popover> makePopover(const platform::PopoverConfig& config) override;

  // The popovers that exist, in creation order.
  const std::vector<VirtualPopover*>& all() const { return *registry_; }
  // The first popover shown now; null when none is.
  const VirtualPopover* shown() const;

 private:
  MainLoop& loop_;
  platform::Panels& panels_;
  platform::Screens& screens_;
  VirtualPopover::Registry registry_ = std::make_shared<std::vector<VirtualPopover*>>();
};

}  // namespace velmora::sim
