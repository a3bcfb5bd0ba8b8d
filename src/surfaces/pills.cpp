#include "surfaces/pills.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "drawing/glyph.h"
#include "store/text.h"
#include "surfaces/floating_panel.h"
#include "surfaces/timing_curve.h"

namespace velmora {

namespace {

// Width and height enter the key cut to whole points, so sub-point jitter of the measured
// label does not render a new image.
std::string truncated(double v) {
  return std::isfinite(v) ? std::to_string(static_cast<long long>(v)) : "0";
}

double distance(ScreenPoint a, ScreenPoint b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

}  // namespace

// ---- Layout ----------------------------------------------------------------------------------

PillStyle PillStyle::from(const PillServices& services) {
  const Settings& settings = services.settings;
  return {settings.mcScale(),     settings.mcOffsetY(), settings.mcShowNumber(),
          settings.mcPlacement(), services.extraWidth,  services.collapsedMinHeight};
}

Size PillLayout::imageSize() const {
  return {std::ceil(size.width + 2 * kPillImageMargin),
          std::ceil(size.height + 2 * kPillImageMargin)};
}

PillLayout layoutPill(const Pill& pill, const PillStyle& style,
                      const DesktopPresentation& presentation, const PillTextMeasure& measure,
                      double backingScale) {
  const double s = style.scale;
  PillLayout l;
  l.backingScale = backingScale;
  // A bar collapsed to a row of names offers labels, not thumbnails: the pill sits on the
  // label itself and covers it.
  l.collapsed = pill.anchor.size.height <= kPillCollapsedAnchor;
  if (l.collapsed || style.placement == PillPlacement::belowPreview) {
    l.minWidth = pill.labelWidth + style.extraWidth;
  }
  l.maxTextWidth = l.collapsed ? kPillCollapsedMaxText
                               : std::max(kPillThumbnailMinText,
                                          pill.anchor.size.width - kPillThumbnailTextInset);

  const std::string title = presentation.title(pill.desktop);
  l.text = style.showNumber ? std::to_string(pill.desktop.number) + "  " + title : title;
  l.font = platform::Font::system(kPillFontSize * s, platform::FontWeight::semibold);
  Size text = measure(l.text, l.font);
  l.textWidth = std::min(text.width, l.maxTextWidth);
  l.textHeight = text.height;

  l.icon = presentation.icon(pill.desktop);
  l.hasIcon = l.icon.kind() != SpaceIcon::Kind::None;
  l.iconSize = kPillIconSize * s;
  l.iconPart = l.hasIcon ? l.iconSize + kPillIconGap * s : 0;
  l.padding = kPillPadding * s;
  l.naturalWidth = l.iconPart + l.padding + l.textWidth + l.padding;
  const double minHeight = l.collapsed ? style.collapsedMinHeight : 0;
  l.size = {std::max(l.naturalWidth, l.minWidth), std::max(kPillHeight * s, minHeight)};
  l.cornerRadius = kPillCornerRadius * s;
  RGBColor tint = presentation.tint(pill.desktop);
  l.tint = {tint.red, tint.green, tint.blue, tint.alpha};

  const ScreenRect& a = pill.anchor;
  double y = 0;
  if (l.collapsed) {
    y = a.midY();
  } else if (style.placement == PillPlacement::insidePreview) {
    y = a.minY() + l.size.height / 2 + kPillInsideLift * s;
  } else {
    // The row of the system's label, between the thumbnail and the bar's bottom edge.
    y = (a.minY() + pill.bar.minY()) / 2;
  }
  l.centre = {a.midX(), y + style.offsetY};

  // The text as shown stands in the title's place: with the number on, a desktop renumbered
  // under an unchanged name must not keep the image with its old number.
  l.cacheKey = std::to_string(pill.desktop.id().raw()) + "|" + l.text + "|" + l.icon.stored() +
               "|" + std::to_string(presentation.color(pill.desktop).stored()) + "|" +
               truncated(l.size.width) + "|" + truncated(l.size.height) + "|" + decimal(s) + "|" +
               (style.showNumber ? "true" : "false") + "|" + decimal(backingScale);
  return l;
}

// ---- PillPainter -----------------------------------------------------------------------------

PillBitmap PillPainter::image(const PillLayout& layout) {
  if (auto it = cache_.find(layout.cacheKey); it != cache_.end()) return it->second;
  std::unique_ptr<platform::Canvas> canvas =
      canvases_.makeCanvas(layout.imageSize(), layout.backingScale);
  if (!canvas) return nullptr;
  paint(*canvas, layout);
  ++renders_;
  // Emptied wholesale rather than aged: a pass renders at most a screenful of pills, and the
  // ones on screen are rendered again at once.
  if (cache_.size() >= kPillCacheLimit) cache_.clear();
  auto image = std::make_shared<const platform::Bitmap>(canvas->bitmap());
  cache_.emplace(layout.cacheKey, image);
  return image;
}

void PillPainter::paint(platform::Canvas& canvas, const PillLayout& l) {
  // The pill sits 12 points in from the image's left and bottom edges; what rounding the
  // image up adds stays above it.
  const Size image = l.imageSize();
  const platform::CanvasRect pill{kPillImageMargin, image.height - kPillImageMargin - l.size.height,
                                  l.size.width, l.size.height};
  const platform::Path shape = platform::Path::roundedRect(pill, l.cornerRadius);
  {
    platform::CanvasStateSaver saved(canvas);
    // 1.5 points below the pill: the canvas's y grows downward.
    canvas.setShadow(platform::Shadow{platform::Color::black(0.5), 6, {0, 1.5}});
    canvas.fill(shape, l.tint.withAlpha(0.96));
  }
  canvas.stroke(shape, platform::Color::white(0.25), 1);

  // Centred as a whole when the pill is widened to cover the system label.
  double x = pill.x + (pill.width - l.naturalWidth) / 2 + l.padding;
  if (l.hasIcon) {
    const platform::CanvasRect square{x, pill.y + (pill.height - l.iconSize) / 2, l.iconSize,
                                      l.iconSize};
    if (ImageRef icon = Glyph::iconImage(l.icon, l.iconSize, platform::FontWeight::semibold,
                                         platform::Color::white())) {
      // Symbols are rarely square: fit inside the square, keeping proportions.
      Size natural = icon->size();
      double fit = natural.width > 0 && natural.height > 0
                       ? std::min(square.width / natural.width, square.height / natural.height)
                       : 0;
      double w = natural.width * fit, h = natural.height * fit;
      canvas.drawImage(
          *icon, {square.x + (square.width - w) / 2, square.y + (square.height - h) / 2, w, h});
    }
    x += l.iconPart;
  }
  canvas.drawText(l.text, l.font, platform::Color::white(),
                  {x, pill.y + (pill.height - l.textHeight) / 2}, l.textWidth);
}

// ---- PillLayer -------------------------------------------------------------------------------

double pillProgress(PillCurve curve, double fraction) {
  double x = std::clamp(fraction, 0.0, 1.0);
  return curve == PillCurve::linear ? x : easeInEaseOut(x);
}

ScreenPoint PillLayer::position(double now) const {
  if (!isAnimating(now)) return to;
  double p = pillProgress(curve, (now - start) / duration);
  return {from.x + (to.x - from.x) * p, from.y + (to.y - from.y) * p};
}

double PillLayer::opacity(double now) const {
  if (!isAnimating(now)) return toOpacity;
  double p = pillProgress(curve, (now - start) / duration);
  return std::clamp(fromOpacity + (toOpacity - fromOpacity) * p, 0.0, 1.0);
}

void PillLayer::moveTo(ScreenPoint target, double targetOpacity, double now, double seconds,
                       PillCurve how) {
  from = position(now);
  fromOpacity = opacity(now);
  to = target;
  toOpacity = targetOpacity;
  start = now;
  duration = seconds;
  curve = how;
}

// ---- PillsView -------------------------------------------------------------------------------

PillsView::PillsView(PillServices services) : s_(services), painter_(services.canvases) {}

void PillsView::show(const std::vector<Pill>& pills, bool animate, double backingScale) {
  if (!(backingScale > 0)) backingScale = 2;
  if (!measure_) measure_ = s_.canvases.makeCanvas({1, 1}, 1);
  if (!measure_) return;
  ++generation_;
  const PillStyle style = PillStyle::from(s_);
  const double now = s_.loop.now();
  bool changed = false;

  std::map<SpaceID, PillLayer> kept;
  std::map<SpaceID, PillLayout> layouts;
  if (measured_.size() >= kPillCacheLimit) measured_.clear();
  auto measure = [this](const std::string& text, const platform::Font& font) {
    std::string key = decimal(font.pointSize) + "|" + text;
    if (auto it = measured_.find(key); it != measured_.end()) return it->second;
    return measured_.emplace(key, measure_->measureText(text, font)).first->second;
  };
  for (const Pill& pill : pills) {
    const SpaceID id = pill.desktop.id();
    PillLayout layout = layoutPill(pill, style, s_.presentation, measure, backingScale);
    PillBitmap image = painter_.image(layout);
    const ScreenPoint target = layout.centre;
    auto old = layers_.find(id);
    if (old == layers_.end()) {
      // Drops in by the bar's height while it fades in.
      PillLayer layer;
      layer.desktop = id;
      layer.image = image;
      layer.size = layout.imageSize();
      layer.to = {target.x, target.y + pill.bar.size.height};
      layer.toOpacity = 0;
      layer.moveTo(target, 1, now, animate ? kPillMoveDuration : 0, PillCurve::easeInEaseOut);
      kept.emplace(id, layer);
      changed = true;
    } else {
      PillLayer layer = old->second;
      changed = changed || layer.image != image;
      layer.image = image;
      layer.size = layout.imageSize();
      // A pill already headed where it belongs keeps its move; a short hop is quick and even,
      // a long one glides.
      if (layer.to != target || layer.toOpacity != 1) {
        const bool small = distance(layer.to, target) < kPillSmallMove;
        const double seconds = !animate ? 0 : small ? kPillSmallMoveDuration : kPillMoveDuration;
        layer.moveTo(target, 1, now, seconds, small ? PillCurve::linear : PillCurve::easeInEaseOut);
        changed = true;
      }
      kept.emplace(id, layer);
    }
    layouts.insert_or_assign(id, std::move(layout));
  }
  changed = changed || kept.size() != layers_.size();
  layers_ = std::move(kept);
  layouts_ = std::move(layouts);
  if (changed) this->changed();
}

void PillsView::fadeOut(bool animate, std::function<void()> completion) {
  const std::uint64_t generation = ++generation_;
  const double now = s_.loop.now();
  for (auto& [id, layer] : layers_) {
    ScreenPoint up{layer.to.x, layer.to.y + kPillFadeOutRise};
    layer.moveTo(up, 0, now, animate ? kPillFadeOutDuration : 0, PillCurve::easeInEaseOut);
  }
  auto finish = [this, generation, completion = std::move(completion)] {
    if (generation_ != generation) return;
    layers_.clear();
    layouts_.clear();
    changed();
    if (completion) completion();
  };
  if (!animate || layers_.empty()) {
    finish();
    return;
  }
  changed();
  s_.loop.after(kPillFadeOutDuration, lifetime_.guard(std::move(finish)));
}

void PillsView::draw(platform::Canvas& canvas, Size panelSize) const {
  const double now = s_.loop.now();
  for (const auto& [id, layer] : layers_) {
    const double opacity = layer.opacity(now);
    if (!layer.image || opacity <= 0) continue;
    const ScreenPoint at = layer.position(now);
    platform::CanvasStateSaver saved(canvas);
    canvas.setAlpha(opacity);
    // The layer's position is its centre, y up from the panel's bottom edge.
    canvas.drawImage(*layer.image,
                     {at.x - layer.size.width / 2, panelSize.height - at.y - layer.size.height / 2,
                      layer.size.width, layer.size.height});
  }
}

bool PillsView::isAnimating() const {
  const double now = s_.loop.now();
  return std::any_of(layers_.begin(), layers_.end(),
                     [now](const auto& entry) { return entry.second.isAnimating(now); });
}

std::vector<PillsView::LayerState> PillsView::layers() const {
  const double now = s_.loop.now();
  std::vector<LayerState> out;
  out.reserve(layers_.size());
  for (const auto& [id, layer] : layers_) {
    out.push_back({id, layer.position(now), layer.size, layer.opacity(now)});
  }
  return out;
}

const PillLayout* PillsView::layout(SpaceID desktop) const {
  auto it = layouts_.find(desktop);
  return it == layouts_.end() ? nullptr : &it->second;
}

// ---- OverlayPanel ----------------------------------------------------------------------------

OverlayPanel::OverlayPanel(PillServices services, platform::Panels& panels,
                           const std::string& displayID)
    : loop_(services.loop),
      displayID_(displayID),
      panel_(FloatingPanel::make(panels, {.size = kInitialSize,
                                          .level = kLevel,
                                          .interactive = false,
                                          .hasShadow = false,
                                          .collectionBehavior = platform::kCollectionFloating,
                                          .animation = platform::WindowAnimation::none,
                                          .name = "mission control: " + displayID})),
      pills_(services) {
  panel_->setContent([this](platform::Canvas& canvas, Size size) { pills_.draw(canvas, size); });
  pills_.setOnChange([this] { redraw(); });
}

void OverlayPanel::redraw() {
  panel_->setNeedsDisplay();
  if (ticker_ || !pills_.isAnimating()) return;
  // The Mac's view draws only when asked: ask every frame while something moves, and once
  // more after it has landed.
  ticker_ = loop_.repeating(kTickInterval, -1, lifetime_.guard([this] {
    panel_->setNeedsDisplay();
    if (!pills_.isAnimating()) ticker_.reset();
  }));
}

}  // namespace velmora
