#include "surfaces/hover_strip.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "drawing/glyph.h"
#include "surfaces/floating_panel.h"

namespace velmora {

namespace {

using platform::CanvasPoint;
using platform::CanvasRect;
using platform::Color;
using platform::Font;
using platform::FontWeight;
using platform::Path;

const Color kBackground{0.055, 0.067, 0.094, 0.97};
const Color kOutline = Color::white(0.13);
const Color kRing = Color::white(0.95);
const Color kInk{0.95, 0.96, 0.98, 1};  // the switch tag's off-white
const Color kNeutralCard{0.23, 0.23, 0.25, 1};
const Color kBadge{0.93, 0.23, 0.2, 1};

bool inside(const CanvasRect& r, CanvasPoint p) {
  return p.x >= r.x && p.x < r.x + r.width && p.y >= r.y && p.y < r.y + r.height;
}

// A screen holds the points of its frame, and its top edge itself: a Mac reports the pointer
// pressed against the top as exactly maxY.
bool onScreen(const ScreenRect& f, ScreenPoint p) {
  return p.x >= f.minX() && p.x < f.maxX() && p.y >= f.minY() && p.y <= f.maxY();
}

Font titleFont(bool current) {
  return Font::system(HoverStripView::kTitleSize,
                      current ? FontWeight::semibold : FontWeight::medium);
}

}  // namespace

// ---- HoverStripView ----

Size HoverStripView::load() {
  items_.clear();
  hovered_.reset();
  for (const Desktop& d : s_.engine.desktops()) {
    HoverStripItem item;
    item.desktop = d;
    item.title = s_.presentation.title(d);
    item.help = item.title + " · Desktop " + std::to_string(d.number);
    for (SpaceApp& app : s_.engine.apps(d)) {
      item.icons.push_back({app, {}, "Open " + app.name + " here"});
    }
    items_.push_back(std::move(item));
  }
  if (auto measure = canvases_.makeCanvas({1, 1}, 1)) {
    titleHeight_ = measure->measureText("Ag", titleFont(true)).height;
  }
  const double n = static_cast<double>(items_.size());
  // Whole points, so the panel's edges fall on pixels.
  Size natural{2 * kSideMargin + n * kItemWidth + std::max(0.0, n - 1) * kSpacing,
               std::ceil(2 * kTopMargin + kCardHeight + 3 + titleHeight_ + 3 + kIconSize)};
  size_ = natural;
  fit(natural.width);
  return natural;
}

void HoverStripView::fit(double width) {
  size_.width = width;
  const double n = static_cast<double>(items_.size());
  if (n == 0) return;
  // A screen too narrow for every card at full width gets narrower cards, never fewer.
  const double itemWidth =
      std::clamp((width - 2 * kSideMargin - (n - 1) * kSpacing) / n, 1.0, kItemWidth);
  const double contentHeight = kCardHeight + 3 + titleHeight_ + 3 + kIconSize;
  const double top = (size_.height - contentHeight) / 2;  // centred vertically
  double x = kSideMargin;
  for (HoverStripItem& item : items_) {
    item.frame = {x, top, itemWidth, contentHeight};
    item.card = {x, top, itemWidth, kCardHeight};
    item.titleBox = {x, top + kCardHeight + 3, itemWidth, titleHeight_};
    const double iconsTop = item.titleBox.y + titleHeight_ + 3;
    const auto fitting = static_cast<std::size_t>(
        std::max(0.0, std::floor((itemWidth + kIconGap) / (kIconSize + kIconGap))));
    const std::size_t shown = std::min(fitting, item.icons.size());
    item.hiddenApps = item.icons.size() - shown;
    const double rowWidth =
        static_cast<double>(shown) * kIconSize + std::max(0.0, double(shown) - 1) * kIconGap;
    double ix = x + (itemWidth - rowWidth) / 2;
    for (std::size_t i = 0; i < item.icons.size(); ++i) {
      item.icons[i].frame =
          i < shown ? CanvasRect{ix, iconsTop, kIconSize, kIconSize} : CanvasRect{0, 0, 0, 0};
      if (i < shown) ix += kIconSize + kIconGap;
    }
    x += itemWidth + kSpacing;
  }
}

std::optional<HoverStripView::Hit> HoverStripView::hitTest(CanvasPoint p) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const HoverStripItem& item = items_[i];
    for (std::size_t k = 0; k < item.icons.size(); ++k) {
      if (inside(item.icons[k].frame, p)) return Hit{i, k};
    }
    if (inside(item.frame, p)) return Hit{i, std::nullopt};
  }
  return std::nullopt;
}

void HoverStripView::hover(std::optional<CanvasPoint> point, double now) {
  std::optional<Hit> hit = point ? hitTest(*point) : std::nullopt;
  const bool same = hit.has_value() == hovered_.has_value() &&
                    (!hit || (hit->item == hovered_->item && hit->icon == hovered_->icon));
  if (same) return;
  hovered_ = hit;
  hoveredSince_ = now;
}

std::string HoverStripView::helpAt(CanvasPoint point) const {
  std::optional<Hit> hit = hitTest(point);
  if (!hit) return "";
  const HoverStripItem& item = items_[hit->item];
  return hit->icon ? item.icons[*hit->icon].help : item.help;
}

double HoverStripView::scaleOf(bool isHovered, double now, double full) const {
  if (!isHovered) return 1;
  // Ease-out: most of the growth comes at once.
  const double t = std::clamp((now - hoveredSince_) / kHoverAnimation, 0.0, 1.0);
  const double eased = 1 - (1 - t) * (1 - t);
  return 1 + (full - 1) * eased;
}

void HoverStripView::paint(platform::Canvas& canvas, Size size, double now) {
  canvas.fill(Path::roundedRect({0, 0, size.width, size.height}, kCornerRadius), kBackground);
  canvas.stroke(Path::roundedRect({0.5, 0.5, size.width - 1, size.height - 1}, kCornerRadius - 0.5),
                kOutline, 1);
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const HoverStripItem& item = items_[i];
    const bool current = item.desktop.isCurrent;
    platform::CanvasStateSaver saved(canvas);
    const double scale = scaleOf(hovered_ && hovered_->item == i, now, kHoverScale);
    if (scale != 1) {
      const double cx = item.frame.x + item.frame.width / 2;
      const double cy = item.frame.y + item.frame.height / 2;
      canvas.translate(cx, cy);
      canvas.scaleBy(scale, scale);
      canvas.translate(-cx, -cy);
    }
    const Path card = Path::roundedRect(item.card, kCardRadius);
    if (s_.presentation.isTransparent(item.desktop)) {
      canvas.fill(card, kNeutralCard);
    } else {
      RGBColor t = s_.presentation.tint(item.desktop);
      canvas.fill(card, Color{t.red, t.green, t.blue, t.alpha});
    }
    if (current) {
      const CanvasRect& c = item.card;
      canvas.stroke(Path::roundedRect({c.x + 0.75, c.y + 0.75, c.width - 1.5, c.height - 1.5},
                                      kCardRadius - 0.75),
                    kRing, 1.5);
    }
    const CanvasRect glyph{item.card.x + (item.card.width - kGlyphSize) / 2,
                           item.card.y + (item.card.height - kGlyphSize) / 2, kGlyphSize,
                           kGlyphSize};
    if (ImageRef icon = Glyph::iconImage(s_.presentation.icon(item.desktop), kGlyphSize,
                                         FontWeight::semibold, Color::white())) {
      const Size natural = icon->size();
      const double fitScale =
          natural.width > 0 && natural.height > 0
              ? std::min(kGlyphSize / natural.width, kGlyphSize / natural.height)
              : 0;
      const double w = natural.width * fitScale, h = natural.height * fitScale;
      canvas.drawImage(*icon,
                       {glyph.x + (kGlyphSize - w) / 2, glyph.y + (kGlyphSize - h) / 2, w, h});
    } else {
      // No icon: the desktop's number stands for it.
      const std::string number = std::to_string(item.desktop.number);
      const Font font = Font::system(kGlyphSize * 0.8, FontWeight::bold);
      const Size measured = canvas.measureText(number, font);
      canvas.drawText(number, font, Color::white(),
                      {item.card.x + (item.card.width - measured.width) / 2,
                       item.card.y + (item.card.height - measured.height) / 2});
    }
    const Font font = titleFont(current);
    const Size measured = canvas.measureText(item.title, font);
    const double width = std::min(measured.width, item.titleBox.width);
    canvas.drawText(item.title, font, kInk.withAlpha(current ? 1 : 0.6),
                    {item.titleBox.x + (item.titleBox.width - width) / 2, item.titleBox.y},
                    item.titleBox.width);
    for (std::size_t k = 0; k < item.icons.size(); ++k) {
      const HoverStripAppIcon& icon = item.icons[k];
      if (icon.frame.width <= 0) continue;
      platform::CanvasStateSaver iconSaved(canvas);
      const double grow = scaleOf(hovered_ && hovered_->item == i && hovered_->icon == k, now, 1.2);
      const CanvasRect& f = icon.frame;
      const CanvasRect at{f.x - f.width * (grow - 1) / 2, f.y - f.height * (grow - 1) / 2,
                          f.width * grow, f.height * grow};
      std::shared_ptr<platform::VectorImage> image;
      if (icon.app.icon) image = s_.platform.appIcons.icon(*icon.app.icon);
      if (image) {
        canvas.drawImage(*image, at);
      } else {
        // An application without an icon: its initial on a grey square.
        canvas.fill(Path::roundedRect(at, at.width * 0.22), Color::gray(0.45));
        const std::string initial = icon.app.name.empty() ? "?" : icon.app.name.substr(0, 1);
        const Font small = Font::system(kIconSize * 0.6, FontWeight::semibold);
        const Size m = canvas.measureText(initial, small);
        canvas.drawText(initial, small, Color::white(),
                        {at.x + (at.width - m.width) / 2, at.y + (at.height - m.height) / 2});
      }
      if (icon.app.badge) {
        // A dot at the icon's corner: at 13 points a count would not read.
        canvas.fill(Path::ellipse({at.x + at.width - 5, at.y - 1, 6, 6}), kBadge);
      }
    }
  }
}

// ---- HoverPanel ----

HoverPanel::HoverPanel(HoverStripServices& services, std::function<void(const Desktop&)> onSelect,
                       std::function<void(const SpaceApp&, const Desktop&)> onOpen)
    : s_(services),
      view_(services, services.platform.canvases),
      onSelect_(std::move(onSelect)),
      onOpen_(std::move(onOpen)),
      panel_(FloatingPanel::make(
          services.platform.panels,
          {kInitialSize, kLevel, /*interactive=*/true, /*hasShadow=*/true,
           platform::kCollectionFloating, platform::WindowAnimation::none, kName})) {
  panel_->setContent(lifetime_.guard([this](platform::Canvas& canvas, Size size) {
    view_.paint(canvas, size, s_.platform.loop.now());
  }));
  panel_->setOnPointerMoved(lifetime_.guard([this](CanvasPoint p) {
    view_.hover(p, s_.platform.loop.now());
    // The system shows the tip of whatever the pointer rests on: the card or the icon.
    panel_->setToolTip(view_.helpAt(p));
    panel_->setNeedsDisplay();
  }));
  panel_->setOnMouseDown(lifetime_.guard([this](CanvasPoint p) { clicked(p); }));
}

void HoverPanel::clicked(CanvasPoint point) {
  std::optional<HoverStripView::Hit> hit = view_.hitTest(point);
  if (!hit) return;
  const HoverStripItem& item = view_.items()[hit->item];
  // Copies: the callbacks refresh the engine, and the items with it.
  const Desktop desktop = item.desktop;
  if (hit->icon) {
    const SpaceApp app = item.icons[*hit->icon].app;
    if (onOpen_) onOpen_(app, desktop);
  } else if (onSelect_) {
    onSelect_(desktop);
  }
}

// ---- HoverStrip ----

HoverStrip::HoverStrip(HoverStripServices services) : s_(std::move(services)) {}

HoverStrip::~HoverStrip() {
  stop();
}

void HoverStrip::start() {
  if (globalMonitor_ || localMonitor_) return;
  platform::PointerMonitors& monitors = s_.platform.pointer;
  auto moved =
      lifetime_.guard([this](const platform::PointerEvent& e) { pointerMoved(e.location); });
  globalMonitor_ = monitors.addGlobalMonitor(
      platform::kNSEventMaskMouseMoved | platform::kNSEventMaskLeftMouseDragged, moved);
  localMonitor_ = monitors.addLocalMonitor(platform::kNSEventMaskMouseMoved, moved);
  readScreens();
  screensToken_ = s_.platform.workspace.observeScreenParametersChanged(
      lifetime_.guard([this] { screensChanged(); }));
}

void HoverStrip::stop() {
  cancelDwell();
  cancelLeave();
  if (globalMonitor_) s_.platform.pointer.removeMonitor(*globalMonitor_);
  if (localMonitor_) s_.platform.pointer.removeMonitor(*localMonitor_);
  globalMonitor_.reset();
  localMonitor_.reset();
  screensToken_ = ObserverToken();
  hide();
}

void HoverStrip::readScreens() {
  frames_.clear();
  for (const platform::ScreenInfo& screen : s_.platform.screens.screens()) {
    frames_.push_back(screen.frame);
  }
}

const ScreenRect* HoverStrip::screenContaining(ScreenPoint p) {
  for (int pass = 0; pass < 2; ++pass) {
    for (const ScreenRect& f : frames_) {
      if (onScreen(f, p)) return &f;
    }
    // A display the last look did not know of: the pointer is on it, so look again once.
    if (pass == 0) readScreens();
  }
  return nullptr;
}

void HoverStrip::screensChanged() {
  readScreens();
  if (!isShowing()) return;
  // The screen the strip is on went away, or moved: nothing stays on a display that is gone.
  const bool stillThere = std::any_of(frames_.begin(), frames_.end(),
                                      [&](const ScreenRect& f) { return f == shownOn_; });
  if (!stillThere) {
    cancelLeave();
    pinnedUntil_ = -std::numeric_limits<double>::infinity();
    ++fadeGeneration_;
    panel_->panel().setAlpha(0);
    panel_->panel().orderOut();
  }
}

bool HoverStrip::keepsOpen(ScreenPoint p) const {
  const ScreenRect f = panel_->panel().frame();
  return p.x >= f.minX() - kKeepOpenMargin && p.x <= f.maxX() + kKeepOpenMargin &&
         p.y >= f.minY() - kKeepOpenMargin && p.y <= f.maxY() + kKeepOpenMargin;
}

void HoverStrip::pointerMoved(ScreenPoint p) {
  if (!s_.settings.hoverEnabled()) return;
  const ScreenRect* frame = screenContaining(p);
  if (!frame) return;
  const double band = frame->maxY() - kBand;
  const bool outsideZone = s_.settings.hoverZone() != HoverZone::wholeEdge &&
                           std::abs(p.x - frame->midX()) > kCentreShare * frame->size.width;

  const bool inZone = p.y >= band && !outsideZone;
  const bool missionControl = s_.missionControlIsOpen && s_.missionControlIsOpen();
  if (isShowing()) {
    // The top edge of another display: the strip follows there after the same rest, and
    // leaves this one meanwhile as it would for any other place.
    if (inZone && !(*frame == shownOn_)) {
      if (!dwellTimer_ && !missionControl) {
        dwellTimer_ =
            s_.platform.loop.repeating(s_.settings.hoverDelay(), kDwellTolerance,
                                       lifetime_.guard([this, band] { dwellFired(band); }));
      }
      if (!keepsOpen(p) && s_.platform.loop.now() >= pinnedUntil_ && !leaveTimer_) {
        leaveTimer_ = s_.platform.loop.repeating(kLeaveDelay, kLeaveTolerance,
                                                 lifetime_.guard([this] { leaveFired(); }));
      }
      return;
    }
    cancelDwell();
    if (!keepsOpen(p) && !inZone) {
      if (s_.platform.loop.now() < pinnedUntil_) {
        cancelLeave();
      } else if (!leaveTimer_) {
        leaveTimer_ = s_.platform.loop.repeating(kLeaveDelay, kLeaveTolerance,
                                                 lifetime_.guard([this] { leaveFired(); }));
      }
    } else {
      cancelLeave();
    }
    return;
  }

  if (inZone && !missionControl) {
    if (!dwellTimer_) {
      dwellTimer_ = s_.platform.loop.repeating(s_.settings.hoverDelay(), kDwellTolerance,
                                               lifetime_.guard([this, band] { dwellFired(band); }));
    }
  } else {
    cancelDwell();
  }
}

void HoverStrip::dwellFired(double band) {
  cancelDwell();
  const ScreenPoint p = s_.platform.pointer.location();
  if (p.y < band) return;
  for (const platform::ScreenInfo& screen : s_.platform.screens.screens()) {
    if (onScreen(screen.frame, p)) {
      showStrip(0, screen);
      return;
    }
  }
}

void HoverStrip::leaveFired() {
  cancelLeave();
  if (panel_ && keepsOpen(s_.platform.pointer.location())) return;
  if (s_.platform.loop.now() < pinnedUntil_) return;
  hide();
}

void HoverStrip::showStrip(double pin, std::optional<platform::ScreenInfo> screen) {
  s_.engine.refresh(false);
  s_.engine.refreshApps(false);
  if (!screen) {
    std::vector<platform::ScreenInfo> screens = s_.platform.screens.screens();
    if (screens.empty()) return;
    screen = screens.front();
  }
  if (!panel_) {
    panel_ =
        std::make_unique<HoverPanel>(s_, lifetime_.guard([this](const Desktop& d) {
          s_.engine.switchTo(d, kSelectReason);
          pinnedUntil_ = s_.platform.loop.now() + kClickPin;
        }),
                                     lifetime_.guard([this](const SpaceApp& app, const Desktop& d) {
                                       s_.engine.open(app, d, kOpenReason);
                                       pinnedUntil_ = s_.platform.loop.now() + kClickPin;
                                     }));
  }
  HoverStripView& view = panel_->view();
  const Size natural = view.load();
  const ScreenRect& f = screen->frame;
  const double width = std::max(0.0, std::min(natural.width, f.size.width - kScreenMargin));
  view.fit(width);
  const ScreenRect frame = ScreenRect::make(
      f.midX() - width / 2, screen->visibleFrame.maxY() - natural.height - kGapBelowMenuBar, width,
      natural.height);
  platform::Panel& panel = panel_->panel();
  panel.setFrame(frame, true);
  panel.setNeedsDisplay();
  shownOn_ = f;
  screenName_ = screen->localizedName;
  pinnedUntil_ = s_.platform.loop.now() + pin;
  cancelLeave();
  cancelDwell();
  if (!panel.isVisible()) {
    ++fadeGeneration_;
    panel.setAlpha(0);
    panel.orderFrontRegardless();
    panel.setAlpha(1, kFadeIn);
  } else if (panel.alpha() < 1) {
    // Opened again mid fade-out: back up, and the fade-out's end leaves it be.
    ++fadeGeneration_;
    panel.setAlpha(1, kFadeIn);
  }
}

void HoverStrip::hide() {
  cancelLeave();
  if (!isShowing()) return;
  platform::Panel& panel = panel_->panel();
  panel.setAlpha(0, kFadeOut);
  const std::uint64_t generation = ++fadeGeneration_;
  s_.platform.loop.after(kFadeOut, lifetime_.guard([this, generation] {
    if (!panel_ || generation != fadeGeneration_) return;
    // Linear steps in loop time can leave a hair above zero at the end.
    if (panel_->panel().alpha() < 1e-6) {
      panel_->view().hover(std::nullopt, s_.platform.loop.now());
      panel_->panel().orderOut();
    }
  }));
}

void HoverStrip::missionControlChanged(bool open) {
  if (!open) return;
  cancelDwell();
  if (isShowing()) {
    pinnedUntil_ = -std::numeric_limits<double>::infinity();
    hide();
  }
}

}  // namespace velmora
