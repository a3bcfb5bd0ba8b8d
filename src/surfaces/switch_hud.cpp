#include "surfaces/switch_hud.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "drawing/glyph.h"
#include "surfaces/floating_panel.h"
#include "surfaces/timing_curve.h"

namespace velmora {

namespace {

const platform::Color kInk{0.95, 0.96, 0.98, 1};
const platform::Color kCardFill{0.09, 0.09, 0.11, 0.94};
const platform::Color kBorder = platform::Color::white(0.14);
const platform::Shadow kCardShadow{platform::Color::black(0.45), 18, {0, 8}};
constexpr double kToastSpacing = 10;

// The under-damped spring of a SwiftUI spring(response:dampingFraction:), from 0 towards 1.
double springProgress(double t) {
  const double omega = 2 * std::numbers::pi / kHUDSpringResponse;
  const double zeta = kHUDSpringDamping;
  const double omegaD = omega * std::sqrt(1 - zeta * zeta);
  const double decay = std::exp(-zeta * omega * t);
  return 1 - decay * (std::cos(omegaD * t) + zeta * omega / omegaD * std::sin(omegaD * t));
}

// When the spring is within a thousandth of its target for good.
double springSettleTime() {
  const double omega = 2 * std::numbers::pi / kHUDSpringResponse;
  const double zeta = kHUDSpringDamping;
  const double omegaD = omega * std::sqrt(1 - zeta * zeta);
  return std::log(1000 * (1 + zeta * omega / omegaD)) / (zeta * omega);
}

// The text in lines no wider than `width`, broken between words; a word wider than a line
// has a line of its own, cut at its tail.
std::vector<std::string> wrapLines(platform::Canvas& measure, const std::string& text,
                                   const platform::Font& font, double width) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t space = text.find(' ', at);
    std::string word = text.substr(at, space == std::string::npos ? std::string::npos : space - at);
    at = space == std::string::npos ? text.size() : space + 1;
    std::string candidate = line.empty() ? word : line + " " + word;
    if (line.empty() || measure.measureText(candidate, font).width <= width) {
      line = std::move(candidate);
    } else {
      lines.push_back(measure.truncateTail(line, font, width));
      line = word;
    }
  }
  if (!line.empty() || lines.empty()) lines.push_back(measure.truncateTail(line, font, width));
  return lines;
}

HUDPose mix(const HUDPose& a, const HUDPose& b, double p) {
  return {std::clamp(a.opacity + (b.opacity - a.opacity) * p, 0.0, 1.0),
          a.scale + (b.scale - a.scale) * p, a.offsetDown + (b.offsetDown - a.offsetDown) * p};
}

}  // namespace

double hudProgress(HUDCurve curve, double elapsed) {
  switch (curve) {
    case HUDCurve::none:
      return 1;
    case HUDCurve::spring:
      return elapsed >= springSettleTime() ? 1 : springProgress(std::max(0.0, elapsed));
    case HUDCurve::easeIn:
      return elapsed >= kHUDEaseInDuration ? 1
                                           : easeIn(std::max(0.0, elapsed) / kHUDEaseInDuration);
  }
  return 1;
}

// ---- HUDState ------------------------------------------------------------------------------

void HUDState::setDesktop(std::optional<Desktop> desktop) {
  desktop_ = std::move(desktop);
  notify();
}

void HUDState::setToast(std::optional<HUDToast> toast) {
  toast_ = std::move(toast);
  notify();
}

void HUDState::setSize(HUDSize size) {
  size_ = size;
  notify();
}

void HUDState::setShowNumber(bool show) {
  showNumber_ = show;
  notify();
}

void HUDState::setVisible(bool visible, HUDCurve curve, double now) {
  from_ = pose(now);
  visible_ = visible;
  curve_ = curve;
  changedAt_ = now;
  notify();
}

HUDPose HUDState::pose(double now) const {
  const HUDPose& target = visible_ ? kHUDVisiblePose : kHUDHiddenPose;
  if (curve_ == HUDCurve::none) return target;
  return mix(from_, target, hudProgress(curve_, now - changedAt_));
}

bool HUDState::isAnimating(double now) const {
  double elapsed = now - changedAt_;
  switch (curve_) {
    case HUDCurve::none:
      return false;
    case HUDCurve::spring:
      return elapsed < springSettleTime();
    case HUDCurve::easeIn:
      return elapsed < kHUDEaseInDuration;
  }
  return false;
}

// ---- HUDContent ----------------------------------------------------------------------------

HUDContent::Layout HUDContent::layout(platform::Canvas& measure) const {
  Layout out;
  const double s = velmora::scale(state.size());
  out.factor = s;
  const double left = 18 * s, top = 12 * s;
  Size row;
  if (state.toast()) {
    const HUDToast& toast = *state.toast();
    platform::Font symbolFont = platform::Font::system(18 * s, platform::FontWeight::semibold);
    platform::Font textFont = platform::Font::system(14 * s, platform::FontWeight::medium);
    Size symbol{0, 0};
    if (ImageRef image =
            Glyph::symbolImage(toast.symbol, symbolFont.pointSize, symbolFont.weight, kInk)) {
      symbol = image->size();
    }
    out.textLines = wrapLines(measure, toast.text, textFont, 380 * s);
    out.lineHeight = measure.measureText(toast.text, textFont).height;
    for (const std::string& line : out.textLines) {
      out.textWidth = std::max(out.textWidth, measure.measureText(line, textFont).width);
    }
    Size text{out.textWidth, out.lineHeight * static_cast<double>(out.textLines.size())};
    double gap = symbol.width > 0 ? kToastSpacing * s : 0;
    row = {symbol.width + gap + out.textWidth, std::max(symbol.height, text.height)};
    out.symbol = {left, top + (row.height - symbol.height) / 2, symbol.width, symbol.height};
    out.textAt = {left + symbol.width + gap, top + (row.height - text.height) / 2};
  } else if (state.desktop()) {
    const Desktop& desktop = *state.desktop();
    const double tile = 30 * s;
    platform::Font titleFont = platform::Font::system(19 * s, platform::FontWeight::semibold);
    platform::Font numberFont = platform::Font::system(11.5 * s, platform::FontWeight::medium);
    out.title = presentation.title(desktop);
    Size title = measure.measureText(out.title, titleFont);
    Size number{0, 0};
    if (state.showNumber() && presentation.isNamed(desktop)) {
      out.numberLine = "Desktop " + std::to_string(desktop.number);
      number = measure.measureText(*out.numberLine, numberFont);
    }
    Size column{std::max(title.width, number.width), title.height + number.height};
    row = {tile + 12 * s + column.width, std::max(tile, column.height)};
    out.tile = {left, top + (row.height - tile) / 2, tile, tile};
    double columnTop = top + (row.height - column.height) / 2;
    out.titleAt = {left + tile + 12 * s, columnTop};
    out.numberAt = {left + tile + 12 * s, columnTop + title.height};
  }
  out.card = {row.width + 2 * left, row.height + 2 * top};
  return out;
}

Size HUDContent::fittingSize(platform::Canvas& measure) const {
  Size card = layout(measure).card;
  return {card.width + 2 * kMargin, card.height + 2 * kMargin};
}

void HUDContent::draw(platform::Canvas& canvas, Size panel, const HUDPose& pose) const {
  if (!state.toast() && !state.desktop()) return;
  Layout l = layout(canvas);
  const double s = l.factor;
  platform::CanvasStateSaver saved(canvas);
  canvas.setAlpha(measuring ? 1 : pose.opacity);
  // Scale around the card's centre, moved down by the pose's offset.
  double scale = measuring ? 1 : pose.scale;
  canvas.translate(panel.width / 2, panel.height / 2 + (measuring ? 0 : pose.offsetDown * s));
  canvas.scaleBy(scale, scale);
  canvas.translate(-l.card.width / 2, -l.card.height / 2);

  platform::CanvasRect card{0, 0, l.card.width, l.card.height};
  canvas.save();
  canvas.setShadow(kCardShadow);
  canvas.fill(platform::Path::roundedRect(card, 16 * s), kCardFill);
  canvas.restore();
  canvas.stroke(
      platform::Path::roundedRect({0.5, 0.5, card.width - 1, card.height - 1}, 16 * s - 0.5),
      kBorder, 1);

  if (state.toast()) {
    if (ImageRef image = Glyph::symbolImage(state.toast()->symbol, 18 * s,
                                            platform::FontWeight::semibold, kInk)) {
      canvas.drawImage(*image, l.symbol);
    }
    platform::Font font = platform::Font::system(14 * s, platform::FontWeight::medium);
    for (std::size_t i = 0; i < l.textLines.size(); ++i) {
      canvas.drawText(l.textLines[i], font, kInk,
                      {l.textAt.x, l.textAt.y + l.lineHeight * static_cast<double>(i)},
                      l.textWidth);
    }
    return;
  }
  if (ImageRef tile = Glyph::tileImage(presentation, *state.desktop(), l.tile.width)) {
    canvas.drawImage(*tile, l.tile);
  }
  canvas.drawText(l.title, platform::Font::system(19 * s, platform::FontWeight::semibold), kInk,
                  l.titleAt);
  if (l.numberLine) {
    canvas.drawText(*l.numberLine, platform::Font::system(11.5 * s, platform::FontWeight::medium),
                    kInk.withAlpha(0.6), l.numberAt);
  }
}

// ---- HUDPanel ------------------------------------------------------------------------------

HUDPanel::HUDPanel(platform::Panels& panels, const std::string& key, MainLoop& loop,
                   const DesktopPresentation& presentation)
    : panel_(FloatingPanel::make(panels, {.size = SwitchHUD::kPanelSize,
                                          .level = SwitchHUD::kPanelLevel,
                                          .interactive = false,
                                          .hasShadow = false,
                                          .collectionBehavior = platform::kCollectionFloating,
                                          .animation = platform::WindowAnimation::none,
                                          .name = "switch tag: " + key})) {
  state.setOnChanged([this] { panel_->setNeedsDisplay(); });
  panel_->setContent([this, &loop, &presentation](platform::Canvas& canvas, Size size) {
    HUDContent{state, presentation}.draw(canvas, size, state.pose(loop.now()));
  });
}

// ---- SwitchHUD -----------------------------------------------------------------------------

SwitchHUD::SwitchHUD(HUDServices services) : s_(std::move(services)) {}

const HUDPanel* SwitchHUD::panel(const std::string& key) const {
  auto it = panels_.find(key);
  return it == panels_.end() ? nullptr : it->second.get();
}

HUDPanel& SwitchHUD::panelFor(const std::string& key) {
  std::unique_ptr<HUDPanel>& slot = panels_[key];
  if (!slot) {
    slot = std::make_unique<HUDPanel>(s_.platform.panels, key, s_.platform.loop, s_.presentation);
  }
  return *slot;
}

void SwitchHUD::show(const Desktop& desktop, const std::string& displayUUID) {
  std::optional<platform::ScreenInfo> screen = s_.engine.skyLight().screen(displayUUID);
  if (!screen) screen = s_.engine.skyLight().workingScreen();
  if (!screen) return;
  HUDPanel& p = panelFor(displayUUID);
  p.state.setToast(std::nullopt);
  p.state.setDesktop(desktop);
  run(p, *screen, s_.settings.hudDuration());
}

void SwitchHUD::preview() {
  std::optional<Desktop> desktop = s_.engine.currentDesktop();
  std::optional<platform::ScreenInfo> screen = s_.engine.skyLight().workingScreen();
  if (!desktop || !screen) return;
  HUDPanel& p = panelFor("preview");
  p.state.setToast(std::nullopt);
  p.state.setDesktop(*desktop);
  run(p, *screen, s_.settings.hudDuration());
}

void SwitchHUD::toast(const std::string& text, const std::string& symbol, double seconds) {
  std::optional<platform::ScreenInfo> screen = s_.engine.skyLight().workingScreen();
  if (!screen) return;
  HUDPanel& p = panelFor("toast");
  p.state.setDesktop(std::nullopt);
  p.state.setToast(HUDToast{text, symbol});
  run(p, *screen, seconds);
}

void SwitchHUD::run(HUDPanel& p, const platform::ScreenInfo& screen, double duration) {
  MainLoop& loop = s_.platform.loop;
  p.state.setSize(s_.settings.hudSize());
  p.state.setShowNumber(s_.settings.hudShowNumber());

  if (!measure_) measure_ = s_.platform.canvases.makeCanvas({1, 1}, 1);
  if (!measure_) return;
  Size fit = HUDContent{p.state, s_.presentation, true}.fittingSize(*measure_);
  double width = std::min(fit.width, screen.frame.size.width);
  double height = fit.height;

  const ScreenRect& area = screen.visibleFrame;
  double x = area.midX() - width / 2;
  double y = area.midY() - height / 2;
  switch (s_.settings.hudPosition()) {
    case HUDPosition::center:
      break;
    case HUDPosition::top:
      y = area.maxY() - height - kTopInset;
      break;
    case HUDPosition::bottom:
      y = area.minY() + kBottomInset;
      break;
  }
  p.panel().setFrame(ScreenRect::make(x, y, width, height), false);

  std::uint64_t g = ++p.generation;
  if (!p.panel().isVisible()) p.state.setVisible(false, HUDCurve::none, loop.now());
  p.panel().orderFrontRegardless();

  HUDPanel* target = &p;
  loop.post(lifetime_.guard([target, g, &loop] {
    if (target->generation != g) return;
    target->state.setVisible(true, HUDCurve::spring, loop.now());
  }));
  loop.after(duration, lifetime_.guard([this, target, g, &loop] {
    if (target->generation != g) return;
    target->state.setVisible(false, HUDCurve::easeIn, loop.now());
    loop.after(kHUDOffScreenDelay, lifetime_.guard([target, g] {
      if (target->generation == g) target->panel().orderOut();
    }));
  }));
}

void SwitchHUD::hideAll() {
  for (auto& [key, p] : panels_) {
    ++p->generation;
    p->state.setVisible(false, HUDCurve::none, s_.platform.loop.now());
    p->panel().orderOut();
  }
}

bool SwitchHUD::isShowing() const {
  return std::any_of(panels_.begin(), panels_.end(), [](const auto& entry) {
    return entry.second->panel().isVisible() && entry.second->state.visible();
  });
}

}  // namespace velmora
