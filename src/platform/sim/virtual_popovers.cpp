#include "platform/sim/virtual_popovers.h"

#include <algorithm>
#include <cmath>

namespace velmora::sim {

VirtualPopover::VirtualPopover(MainLoop& loop, platform::Panels& panels, platform::Screens& screens,
                               Registry registry, platform::PopoverConfig config)
    : loop_(loop), screens_(screens), registry_(std::move(registry)), config_(std::move(config)) {
  platform::PanelConfig panel;
  panel.size = config_.contentSize;
  panel.level = kLevel;
  panel.interactive = true;
  panel.hasShadow = true;
  panel.darkAppearance = config_.darkAppearance;
  panel.animation =
      config_.animates ? platform::WindowAnimation::utilityWindow : platform::WindowAnimation::none;
  panel.name = config_.name;
  panel_ = panels.makePanel(panel);
  // A transient popover closes when its window stops being key: a click elsewhere.
  panel_->setOnResignKey(lifetime_.guard([this] {
    if (shown_ && config_.transient) close(true);
  }));
  registry_->push_back(this);
}

VirtualPopover::~VirtualPopover() {
  auto& all = *registry_;
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
  panel_->orderOut();
}

void VirtualPopover::setContentSize(Size size) {
  config_.contentSize = size;
  if (shown_) place();
}

void VirtualPopover::place() {
  const ScreenRect& a = anchor_.rect;
  const Size size = config_.contentSize;
  double x = std::round(a.midX() - size.width / 2);
  const double top = a.minY() - kArrowHeight;
  // The bubble slides along the anchor's screen to stay on it; the arrow still points up at
  // the anchor.
  for (const platform::ScreenInfo& screen : screens_.screens()) {
    const ScreenRect& f = screen.frame;
    if (a.midX() < f.minX() || a.midX() > f.maxX() || a.midY() < f.minY() || a.midY() > f.maxY()) {
      continue;
    }
    x = std::clamp(x, f.minX(), std::max(f.minX(), f.maxX() - size.width));
    break;
  }
  panel_->setFrame(ScreenRect::make(x, top - size.height, size.width, size.height), true);
}

void VirtualPopover::show(const platform::PopoverAnchor& anchor) {
  anchor_ = anchor;
  place();
  shown_ = true;
  ++shows_;
  panel_->setNeedsDisplay();
  panel_->makeKeyAndOrderFront();
}

void VirtualPopover::close(bool animated) {
  if (!shown_) return;
  shown_ = false;
  lastCloseAnimated_ = animated;
  panel_->orderOut();
  // popoverDidClose: arrives after the close, on the next turn.
  loop_.post(lifetime_.guard([this] {
    if (onDidClose_) onDidClose_();
  }));
}

std::unique_ptr<platform::Popover> VirtualPopovers::makePopover(
    const platform::PopoverConfig& config) {
  return std::make_unique<VirtualPopover>(loop_, panels_, screens_, registry_, config);
}

const VirtualPopover* VirtualPopovers::shown() const {
  for (const VirtualPopover* popover : *registry_) {
    if (popover->isShown()) return popover;
  }
  return nullptr;
}

}  // namespace velmora::sim
