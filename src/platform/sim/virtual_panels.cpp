#include "platform/sim/virtual_panels.h"

#include <algorithm>

namespace velmora::sim {

struct PanelRegistry {
  MainLoop* loop = nullptr;  // null once the virtual Mac is gone
  std::vector<VirtualPanel*> panels;
  std::uint64_t nextOrder = 1;
  VirtualPanel* key = nullptr;
  std::function<void()> onBecameKey;
};

namespace {

// The panels on screen, back to front: by level, then by order within a level.
std::vector<VirtualPanel*> backToFront(const PanelRegistry& registry) {
  std::vector<VirtualPanel*> shown;
  for (VirtualPanel* panel : registry.panels) {
    if (panel->isVisible()) shown.push_back(panel);
  }
  std::stable_sort(shown.begin(), shown.end(), [](const VirtualPanel* a, const VirtualPanel* b) {
    if (a->config().level != b->config().level) return a->config().level < b->config().level;
    return a->order() < b->order();
  });
  return shown;
}

}  // namespace

// ---- Text fields ----

VirtualTextField::VirtualTextField(VirtualPanel& panel) : panel_(&panel) {
  panel.fields_.push_back(this);
}

VirtualTextField::~VirtualTextField() {
  if (!panel_) return;
  auto& fields = panel_->fields_;
  fields.erase(std::remove(fields.begin(), fields.end(), this), fields.end());
  if (panel_->focused_ == this) panel_->focused_ = nullptr;
}

void VirtualTextField::focus() {
  if (panel_) panel_->focused_ = this;
}

bool VirtualTextField::isFocused() const {
  return panel_ && panel_->focused_ == this;
}

void VirtualTextField::userInsert(const std::string& text) {
  if (text.empty()) return;
  text_ += text;
  if (onTextChanged_) onTextChanged_();
}

bool VirtualTextField::userDeleteBackward() {
  if (text_.empty()) return false;
  // Back over continuation bytes (10xxxxxx) to the lead byte of the last code point.
  std::size_t end = text_.size() - 1;
  while (end > 0 && (static_cast<unsigned char>(text_[end]) & 0xC0) == 0x80) --end;
  text_.erase(end);
  if (onTextChanged_) onTextChanged_();
  return true;
}

// ---- Panels ----

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
  for (VirtualTextField* field : fields_) field->panel_ = nullptr;
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
  if (config_.interactive) becomeKey();
}

void VirtualPanel::orderOut() {
  visible_ = false;
  if (key_) resignKey();
}

std::unique_ptr<platform::TextField> VirtualPanel::addTextField() {
  return std::make_unique<VirtualTextField>(*this);
}

void VirtualPanel::becomeKey() {
  if (key_) return;
  if (registry_->key) registry_->key->resignKey();
  registry_->key = this;
  key_ = true;
  if (registry_->onBecameKey) registry_->onBecameKey();
}

void VirtualPanel::resignKey() {
  if (!key_) return;
  key_ = false;
  if (registry_->key == this) registry_->key = nullptr;
  if (!registry_->loop) return;
  // The callback is looked up when the message arrives: the content may have replaced it, and
  // a panel closed meanwhile hears nothing.
  registry_->loop->post(lifetime_.guard([this] {
    if (onResignKey_) onResignKey_();
  }));
}

platform::CanvasPoint VirtualPanel::local(ScreenPoint point) const {
  return {point.x - frame_.minX(), frame_.maxY() - point.y};
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
  std::vector<VirtualPanel*> shown = backToFront(*registry_);
  return {shown.begin(), shown.end()};
}

const VirtualPanel* VirtualPanels::named(const std::string& name) const {
  for (const VirtualPanel* panel : registry_->panels) {
    if (panel->config().name == name) return panel;
  }
  return nullptr;
}

VirtualPanel* VirtualPanels::keyPanel() const {
  return registry_->key;
}

VirtualPanel* VirtualPanels::panelAt(ScreenPoint point) const {
  std::vector<VirtualPanel*> shown = backToFront(*registry_);
  for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
    VirtualPanel* panel = *it;
    // A fully faded-out panel lets the pointer through, as a clear window does.
    if (panel->ignoresMouseEvents() || panel->alpha() <= 0) continue;
    if (panel->frame().contains(point)) return panel;
  }
  return nullptr;
}

bool VirtualPanels::pointerMoved(ScreenPoint point) {
  // The window server picks the window and the point in it when the event happens; the
  // application hears it on the loop, unless the window is gone by then.
  VirtualPanel* panel = panelAt(point);
  if (!panel || !registry_->loop) return false;
  registry_->loop->post(panel->lifetime_.guard([panel, at = panel->local(point)] {
    if (panel->onPointerMoved_) panel->onPointerMoved_(at);
  }));
  return true;
}

bool VirtualPanels::click(ScreenPoint point) {
  VirtualPanel* panel = panelAt(point);
  if (!registry_->loop) return false;
  if (!panel) {
    registry_->loop->post([registry = registry_] {
      if (registry->key) registry->key->resignKey();
    });
    return false;
  }
  registry_->loop->post(panel->lifetime_.guard([panel, at = panel->local(point)] {
    // The panel takes the first click (acceptsFirstMouse) and, when it can, the key status.
    if (panel->config().interactive) panel->becomeKey();
    if (panel->onMouseDown_) panel->onMouseDown_(at);
  }));
  return true;
}

bool VirtualPanels::rightClick(ScreenPoint point) {
  VirtualPanel* panel = panelAt(point);
  if (!panel || !registry_->loop) return false;
  registry_->loop->post(panel->lifetime_.guard([panel, at = panel->local(point)] {
    if (panel->onRightMouseDown_) panel->onRightMouseDown_(at);
  }));
  return true;
}

bool VirtualPanels::scrollWheel(ScreenPoint point, double deltaY) {
  VirtualPanel* panel = panelAt(point);
  if (!panel || !registry_->loop) return false;
  registry_->loop->post(panel->lifetime_.guard([panel, at = panel->local(point), deltaY] {
    if (panel->onScrollWheel_) panel->onScrollWheel_(at, deltaY);
  }));
  return true;
}

void VirtualPanels::resignKey() {
  if (registry_->key) registry_->key->resignKey();
}

void VirtualPanels::setOnPanelBecameKey(std::function<void()> fn) {
  registry_->onBecameKey = std::move(fn);
}

}  // namespace velmora::sim
