#include "platform/sim/virtual_panels.h"

#include <algorithm>

namespace velmora::sim {

struct PanelRegistry {
  MainLoop* loop = nullptr;  // null once the virtual Mac is gone
  std::vector<VirtualPanel*> panels;
  std::uint64_t nextOrder = 1;
  VirtualPanel* key = nullptr;
};

VirtualPanel::VirtualPanel(std::shared_ptr<PanelRegistry> registry, platform::PanelConfig config)
    : registry_(std::move(registry)),
      config_(std::move(config)),
      frame_(ScreenRect::make(0, 0, config_.size.width, config_.size.height)),
      ignoresMouse_(!config_.interactive) {
  registry_->panels.push_back(this);
}

VirtualPanel::~VirtualPanel() {
  auto& panels = registry_->panels;
  panels.erase(std::remove(panels.begin(), panels.end(), this), panels.end());
  if (registry_->key == this) registry_->key = nullptr;
}

void VirtualPanel::setFrame(const ScreenRect& frame, bool /*display*/) {
  if (frame == frame_) return;
  frame_ = frame;
  ++frameChanges_;
}

void VirtualPanel::setContent(platform::PanelDraw draw) {
  draw_ = std::move(draw);
  ++displays_;
}

void VirtualPanel::setAlpha(double alpha, double duration) {
  double now = registry_->loop ? registry_->loop->now() : 0;
  double from = this->alpha();
  alpha = std::clamp(alpha, 0.0, 1.0);
  alpha_ = duration > 0 ? AlphaAnimation{from, alpha, now, duration}
                        : AlphaAnimation{alpha, alpha, now, 0};
}

double VirtualPanel::alpha() const {
  if (alpha_.duration <= 0 || !registry_->loop) return alpha_.to;
  double t = (registry_->loop->now() - alpha_.start) / alpha_.duration;
  t = std::clamp(t, 0.0, 1.0);
  return alpha_.from + (alpha_.to - alpha_.from) * t;
}

std::optional<VirtualPanel::AlphaAnimation> VirtualPanel::alphaAnimation() const {
  if (alpha_.duration <= 0 || !registry_->loop) return std::nullopt;
  if (registry_->loop->now() >= alpha_.start + alpha_.duration) return std::nullopt;
  return alpha_;
}

void VirtualPanel::orderFrontRegardless() {
  visible_ = true;
  order_ = registry_->nextOrder++;
  ++orderFronts_;
}

void VirtualPanel::makeKeyAndOrderFront() {
  orderFrontRegardless();
  // A panel that takes no input cannot become key (canBecomeKey is false).
  if (config_.interactive) {
    if (registry_->key) registry_->key->key_ = false;
    registry_->key = this;
    key_ = true;
  }
}

void VirtualPanel::orderOut() {
  visible_ = false;
  if (key_) {
    key_ = false;
    registry_->key = nullptr;
  }
}

void VirtualPanel::drawContent(platform::Canvas& canvas) const {
  if (draw_) draw_(canvas, frame_.size);
}

VirtualPanels::VirtualPanels(MainLoop& loop) : registry_(std::make_shared<PanelRegistry>()) {
  registry_->loop = &loop;
}

VirtualPanels::~VirtualPanels() {
  registry_->loop = nullptr;
}

std::unique_ptr<platform::Panel> VirtualPanels::makePanel(const platform::PanelConfig& config) {
  return std::make_unique<VirtualPanel>(registry_, config);
}

std::vector<const VirtualPanel*> VirtualPanels::all() const {
  return {registry_->panels.begin(), registry_->panels.end()};
}

std::vector<const VirtualPanel*> VirtualPanels::onScreen() const {
  std::vector<const VirtualPanel*> shown;
  for (const VirtualPanel* panel : registry_->panels) {
    if (panel->isVisible()) shown.push_back(panel);
  }
  std::stable_sort(shown.begin(), shown.end(), [](const VirtualPanel* a, const VirtualPanel* b) {
    if (a->config().level != b->config().level) return a->config().level < b->config().level;
    return a->order() < b->order();
  });
  return shown;
}

const VirtualPanel* VirtualPanels::named(const std::string& name) const {
  for (const VirtualPanel* panel : registry_->panels) {
    if (panel->config().name == name) return panel;
  }
  return nullptr;
}

}  // namespace velmora::sim
