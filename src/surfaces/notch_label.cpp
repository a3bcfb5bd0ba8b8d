#include "surfaces/notch_label.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/notifications.h"
#include "drawing/glyph.h"
#include "surfaces/floating_panel.h"

namespace velmora {

namespace {

constexpr double kOuterMargin = 10;  // between the content and the label's rounded end
constexpr double kNotchMargin = 8;   // between the notch and the content
constexpr double kIconGap = 6;
constexpr double kIconSize = 16;
const platform::Color kInk = platform::Color::white();
const platform::Color kBand = platform::Color::black();
constexpr double kArc = 0.5522847498307936;  // a quarter circle as one cubic

platform::Font labelFont() {
  return platform::Font::system(NotchLabel::kFontSize, platform::FontWeight::medium);
}

// An area that misses its screen was given in the screen's own coordinates.
bool outside(const ScreenRect& area, const ScreenRect& frame) {
  ScreenRect widened =
      ScreenRect::make(frame.minX() - 1, frame.minY(), frame.size.width + 2, frame.size.height);
  return area.intersection(widened).isEmpty();
}

}  // namespace

std::vector<NotchArea> notchGeometry(const std::vector<platform::ScreenInfo>& screens) {
  std::vector<NotchArea> out;
  for (const platform::ScreenInfo& screen : screens) {
    if (!screen.auxiliaryTopLeftArea || !screen.auxiliaryTopRightArea) continue;
    ScreenRect left = *screen.auxiliaryTopLeftArea;
    ScreenRect right = *screen.auxiliaryTopRightArea;
    for (ScreenRect* area : {&left, &right}) {
      if (!outside(*area, screen.frame)) continue;
      area->origin.x += screen.frame.minX();
      area->origin.y += screen.frame.minY();
    }
    double height = std::min(left.size.height, right.size.height);
    ScreenRect notch = ScreenRect::make(left.maxX(), std::max(left.minY(), right.minY()),
                                        right.minX() - left.maxX(), height);
    if (!(notch.size.width > 0) || !(notch.size.height > 0)) continue;
    if (notch.minX() < screen.frame.minX() || notch.maxX() > screen.frame.maxX()) continue;
    out.push_back({screen, notch});
  }
  return out;
}

platform::Path notchLabelShape(NotchSide outerSide, double radius, Size size) {
  double w = size.width, h = size.height;
  double k = std::clamp(std::min({radius, w / 2, h / 2}), 0.0, radius);
  double c = k * (1 - kArc);
  platform::Path path;
  path.moveTo({0, 0}).lineTo({w, 0});
  if (outerSide == NotchSide::left) {
    path.lineTo({w, h}).lineTo({k, h});
    path.curveTo({c, h}, {0, h - c}, {0, h - k});
  } else {
    path.lineTo({w, h - k});
    path.curveTo({w, h - c}, {w - c, h}, {w - k, h});
    path.lineTo({0, h});
  }
  return path.close();
}

NotchLabel::NotchLabel(NotchServices services)
    : s_(std::move(services)), gestures_(s_.platform.loop, s_.platform.inputClocks) {}

NotchLabel::~NotchLabel() {
  gestures_.stop();
}

void NotchLabel::start() {
  if (started_) return;
  started_ = true;
  gestures_.setOnChange(lifetime_.guard([this](bool swiping) { gestureChanged(swiping); }));
  auto again = lifetime_.guard([this] { refresh(); });
  observers_.push_back(s_.center.observe(notifications::kActiveSpaceDidChange,
                                         lifetime_.guard([this] { landed(); })));
  observers_.push_back(s_.center.observe(notifications::kSpacesDidChange, again));
  observers_.push_back(s_.center.observe(notifications::kSpaceMetaChanged, again));
  observers_.push_back(s_.center.observe(kMenuBarTileChanged, again));
  observers_.push_back(s_.platform.workspace.observeScreenParametersChanged(again));
  refresh();
}

void NotchLabel::stop() {
  if (!started_) return;
  started_ = false;
  observers_.clear();
  gestures_.stop();
  for (auto& [uuid, p] : panels_) p.panel->orderOut();
  panels_.clear();
  announceVisibility();
}

void NotchLabel::setMissionControlOpen(bool open) {
  missionControlOpen_ = open;
  if (started_) refresh();
}

std::vector<NotchLabel::Showing> NotchLabel::wanted() {
  std::vector<Showing> out;
  for (const NotchArea& area : notchGeometry(s_.platform.screens.screens())) {
    const Value* number = area.screen.deviceDescription.find("NSScreenNumber");
    std::optional<std::int64_t> n = number ? number->asInteger() : std::nullopt;
    if (!n || *n < 0 || *n > static_cast<std::int64_t>(UINT32_MAX)) continue;
    std::optional<std::string> uuid =
        s_.engine.skyLight().displayUUID(static_cast<std::uint32_t>(*n));
    if (!uuid) continue;
    std::optional<SpaceID> current = s_.engine.currentSpaceIDForDisplay(*uuid);
    std::optional<Desktop> desktop = current ? s_.engine.desktopWithID(*current) : std::nullopt;
    if (!desktop) continue;  // a full-screen application's space, or a display in flux
    out.push_back({area.notch, *uuid, *desktop});
  }
  return out;
}

void NotchLabel::refresh() {
  if (!started_) return;
  TilePresence presence = s_.tilePresence ? s_.tilePresence() : TilePresence::inBar;
  bool shows =
      !missionControlOpen_ && (s_.settings.notchEnabled() ||
                               (s_.settings.notchStandsIn() && presence == TilePresence::dropped));

  std::vector<std::string> shown;
  if (shows) {
    for (const Showing& w : wanted()) {
      auto it = panels_.find(w.displayUUID);
      if (it == panels_.end()) {
        it = panels_
                 .emplace(w.displayUUID, makePanel("notch label: " + w.displayUUID, w.displayUUID))
                 .first;
      }
      shown.push_back(w.displayUUID);
      show(it->second, w.notch, w.desktop);
    }
  }
  for (auto it = panels_.begin(); it != panels_.end();) {
    if (std::find(shown.begin(), shown.end(), it->first) != shown.end()) {
      ++it;
      continue;
    }
    it->second.panel->orderOut();
    // A display that is gone takes its label with it; one merely hidden keeps it for later.
    if (!s_.engine.skyLight().screen(it->first)) {
      it = panels_.erase(it);
    } else {
      ++it;
    }
  }

  bool takes = presence != TilePresence::inBar;
  for (auto& [uuid, p] : panels_) {
    if (p.takesClicks != takes || lastPresence_ != presence) {
      p.takesClicks = takes;
      p.panel->setIgnoresMouseEvents(!takes);
      p.panel->setToolTip(takes && p.state.desktop ? toolTip(*p.state.desktop) : "");
    }
  }
  lastPresence_ = presence;

  if (shown.empty()) {
    gestures_.stop();
  } else {
    gestures_.start();
    if (ghosted_ && !gestures_.swiping() && !settledPending_) {
      scheduleSettled(++unghostGeneration_);
    }
  }

  bool standing = !shown.empty() && !s_.settings.notchEnabled();
  if (standing != standingIn_) {
    standingIn_ = standing;
    s_.log.write(standing ? "notch label stands in for the tile the bar dropped"
                          : "notch label steps back; the tile is on the bar again");
  }
  announceVisibility();
}

void NotchLabel::landed() {
  refresh();
  if (!gestures_.swiping()) {
    ++unghostGeneration_;
    unghost("landed");
  }
}

std::string NotchLabel::toolTip(const Desktop& desktop) const {
  return s_.presentation.title(desktop) + " · Desktop " + std::to_string(desktop.number) +
         " · click for your desktops, right-click for the menu";
}

NotchLabel::Panel NotchLabel::makePanel(const std::string& name, const std::string& displayUUID) {
  Panel p;
  FloatingPanel::Options o;
  o.size = {200, 32};
  o.level = 25;  // the status bar's window level
  o.name = name;
  p.panel = FloatingPanel::make(s_.platform.panels, o);
  p.panel->setAlpha(0);
  if (!displayUUID.empty()) {
    p.panel->setOnMouseDown(
        lifetime_.guard([this, displayUUID](platform::CanvasPoint) { click(displayUUID, false); }));
    p.panel->setOnRightMouseDown(
        lifetime_.guard([this, displayUUID](platform::CanvasPoint) { click(displayUUID, true); }));
  }
  return p;
}

void NotchLabel::show(Panel& p, const ScreenRect& notch, const Desktop& desktop) {
  p.state.side = s_.settings.notchSide();
  p.state.content = s_.settings.notchContent();
  p.state.height = notch.size.height;
  if (!p.shownDesktopID || *p.shownDesktopID != desktop.id().raw() || p.isDoor) {
    p.panel->setToolTip(p.takesClicks ? toolTip(desktop) : "");
  }
  p.shownDesktopID = desktop.id().raw();
  p.isDoor = false;
  p.state.desktop = desktop;

  double width = std::ceil(std::min(fittingWidth(p.state), kMaxWidth));
  double x = p.state.side == NotchSide::left ? notch.minX() - (width - kUnderNotch)
                                             : notch.maxX() - kUnderNotch;
  ScreenRect frame = ScreenRect::make(x, notch.minY(), width, notch.size.height);
  if (p.panel->frame() != frame) p.panel->setFrame(frame, true);
  NotchState state = p.state;
  p.panel->setContent(
      [this, state](platform::Canvas& canvas, Size size) { draw(canvas, size, state); });
  if (!p.panel->isVisible()) {
    p.panel->setAlpha(ghosted_ ? 0 : 1);
    p.panel->orderFrontRegardless();
  }
}

double NotchLabel::fittingWidth(const NotchState& state) {
  if (!measure_) measure_ = s_.platform.canvases.makeCanvas({1, 1}, 1);
  double content = 0;
  if (state.desktop) {
    bool icon = showsIcon(state.content);
    bool name = showsName(state.content);
    if (icon) content += kIconSize;
    if (name && measure_) {
      if (icon) content += kIconGap;
      content += measure_->measureText(s_.presentation.title(*state.desktop), labelFont()).width;
    }
  }
  return kUnderNotch + kNotchMargin + content + kOuterMargin;
}

void NotchLabel::draw(platform::Canvas& canvas, Size size, const NotchState& state) const {
  NotchSide outer = state.side == NotchSide::left ? NotchSide::left : NotchSide::right;
  canvas.fill(notchLabelShape(outer, kRadius, size), kBand);
  if (!state.desktop) return;
  // The content sits in the part of the label outside the notch.
  double left = state.side == NotchSide::left ? kOuterMargin : kUnderNotch + kNotchMargin;
  double room = size.width - kUnderNotch - kNotchMargin - kOuterMargin;
  if (room <= 0) return;
  double x = left;
  if (showsIcon(state.content)) {
    double icon = std::min(kIconSize, size.height - 4);
    if (ImageRef image = Glyph::tileImage(s_.presentation, *state.desktop, icon)) {
      canvas.drawImage(*image, {x, (size.height - icon) / 2, icon, icon});
    }
    x += kIconSize + kIconGap;
    room -= kIconSize + kIconGap;
  }
  if (showsName(state.content) && room > 0) {
    std::string title = s_.presentation.title(*state.desktop);
    Size text = canvas.measureText(title, labelFont());
    canvas.drawText(title, labelFont(), kInk, {x, (size.height - text.height) / 2}, room);
  }
}

void NotchLabel::gestureChanged(bool swiping) {
  ++unghostGeneration_;
  MainLoop& loop = s_.platform.loop;
  if (swiping) {
    if (!ghosted_) {
      ghosted_ = true;
      for (auto& [uuid, p] : panels_) p.panel->setAlpha(0, kFadeOut);
      ghostedAt_ = loop.now();
    }
    return;
  }
  scheduleSettled(++unghostGeneration_);
}

void NotchLabel::scheduleSettled(std::uint64_t generation) {
  double wait = std::max(0.0, kSettleWindow - gestures_.gestureQuietness());
  settledPending_ = true;
  s_.platform.loop.after(wait, lifetime_.guard([this, generation] { settled(generation); }));
}

void NotchLabel::settled(std::uint64_t generation) {
  if (generation != unghostGeneration_) return;  // a later swipe or a landing took over
  settledPending_ = false;
  if (gestures_.swiping()) return;
  if (gestures_.gestureQuietness() < kSettleWindow) {
    scheduleSettled(++unghostGeneration_);
    return;
  }
  unghost("settled");
}

void NotchLabel::unghost(const std::string& reason) {
  if (!ghosted_) return;
  ghosted_ = false;
  settledPending_ = false;
  for (auto& [uuid, p] : panels_) p.panel->setAlpha(1, kFadeIn);
  double ms = (s_.platform.loop.now() - ghostedAt_) * 1000;
  char line[256];
  std::snprintf(line, sizeof line,
                "notch label ghosted for a swipe, back (%s) after %.0f ms; clocks: gesture %.2f "
                "pointer %.2f",
                reason.c_str(), ms, gestures_.secondsSince(GestureWatch::Clock::gesture),
                gestures_.secondsSince(GestureWatch::Clock::pointer));
  s_.log.write(line);
}

bool NotchLabel::isVisible() const {
  for (const auto& [uuid, p] : panels_) {
    if (p.panel->isVisible()) return true;
  }
  for (const Panel& p : previewPanels_) {
    if (p.panel->isVisible()) return true;
  }
  return false;
}

void NotchLabel::announceVisibility() {
  bool visible = isVisible();
  if (visible == lastVisible_) return;
  lastVisible_ = visible;
  s_.center.post(kNotchLabelChanged);
}

std::optional<ScreenRect> NotchLabel::anchor() const {
  for (const auto& [uuid, p] : panels_) {
    if (p.panel->isVisible()) return p.panel->frame();
  }
  if (!previewPanels_.empty() && previewPanels_.front().panel->isVisible()) {
    return previewPanels_.front().panel->frame();
  }
  return std::nullopt;
}

void NotchLabel::click(const std::string& displayUUID, bool right) {
  auto it = panels_.find(displayUUID);
  if (it == panels_.end() || !it->second.panel->isVisible() || !it->second.takesClicks) return;
  if (onClick_) onClick_(it->second.panel->frame(), right);
}

void NotchLabel::preview(double seconds) {
  std::optional<platform::ScreenInfo> screen = s_.engine.skyLight().workingScreen();
  std::optional<Desktop> desktop = s_.engine.currentDesktop();
  if (!screen || !desktop) return;
  std::vector<NotchArea> areas = notchGeometry({*screen});
  ScreenRect notch;
  bool drawn = areas.empty();
  if (drawn) {
    double band = std::max(kPreviewBand, screen->frame.maxY() - screen->visibleFrame.maxY());
    notch = ScreenRect::make(screen->frame.midX() - kStandInNotchWidth / 2,
                             screen->frame.maxY() - band, kStandInNotchWidth, band);
  } else {
    notch = areas.front().notch;
  }
  if (previewPanels_.empty()) {
    previewPanels_.push_back(makePanel("notch label: preview", ""));
    Panel stand = makePanel("notch label: stand-in notch", "");
    stand.panel->setContent([](platform::Canvas& canvas, Size size) {
      // Only the bottom corners are round: the housing grows out of the screen's top edge.
      platform::Path path;
      double r = std::min(NotchLabel::kRadius, size.height / 2);
      path.moveTo({0, 0}).lineTo({size.width, 0}).lineTo({size.width, size.height - r});
      path.curveTo({size.width, size.height}, {size.width, size.height},
                   {size.width - r, size.height});
      path.lineTo({r, size.height})
          .curveTo({0, size.height}, {0, size.height}, {0, size.height - r});
      canvas.fill(path.close(), kBand);
    });
    previewPanels_.push_back(std::move(stand));
  }
  Panel& stand = previewPanels_[1];
  if (drawn) {
    stand.panel->setFrame(notch, true);
    stand.panel->setAlpha(1);
    stand.panel->orderFrontRegardless();
  } else {
    stand.panel->orderOut();
  }
  Panel& label = previewPanels_[0];
  label.panel->orderOut();  // shown afresh, in front of the drawn notch
  show(label, notch, *desktop);
  label.panel->setAlpha(1);
  announceVisibility();

  std::uint64_t g = ++previewGeneration_;
  s_.platform.loop.after(seconds, lifetime_.guard([this, g] {
    if (g != previewGeneration_) return;
    for (Panel& p : previewPanels_) p.panel->orderOut();
    announceVisibility();
  }));
}

std::vector<std::string> NotchLabel::report() {
  std::vector<std::string> out;
  for (const NotchArea& area : notchGeometry(s_.platform.screens.screens())) {
    char line[256];
    std::snprintf(line, sizeof line, "%s notch %.0f×%.0f at x %.0f",
                  area.screen.localizedName.c_str(), area.notch.size.width, area.notch.size.height,
                  area.notch.minX());
    std::string text = line;
    bool shown = false;
    for (const auto& [uuid, p] : panels_) {
      if (!p.panel->isVisible() ||
          !(p.panel->frame().intersection(area.screen.frame).size.width > 0))
        continue;
      shown = true;
      text += ", label " + std::string(p.state.side == NotchSide::left ? "left" : "right");
      if (p.state.desktop) text += " showing \"" + s_.presentation.title(*p.state.desktop) + "\"";
      if (p.takesClicks) text += ", standing in for the tile";
    }
    bool wanted = s_.settings.notchEnabled() || standingIn_;
    if (!shown)
      text += missionControlOpen_ && wanted ? ", label away for Mission Control" : ", no label";
    if (ghosted_) text += ", ghosted for a swipe";
    out.push_back(text);
  }
  return out;
}

}  // namespace velmora
