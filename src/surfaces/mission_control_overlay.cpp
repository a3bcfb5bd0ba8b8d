#include "surfaces/mission_control_overlay.h"
#include "store/text.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>

namespace velmora {

namespace {

constexpr std::uint32_t kLeftMouseDown = 1;
constexpr std::uint32_t kLeftMouseUp = 2;
// Two intervals within this of each other are the same timer.
constexpr double kSameInterval = 0.001;
// A collapsed bar reports its thumbnails above itself; a bar further up than this has gone.
constexpr double kBarGoneAbove = -1.0;
constexpr double kAboveTheBar = 0.5;
// Beyond these a frame is garbage from a confused tree, not a place on any screen.
constexpr double kLargestCoordinate = 1e6;
constexpr double kLargestSize = 1e5;

double steadySeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// A number the way the system prints a rectangle: 12, 10.5, -3.25.
std::string shortest(double value) {
  char text[32];
  auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  if (ec != std::errc()) return "?";
  return std::string(text, end);
}

// NSStringFromRect's form.
std::string rectText(const AXRect& r) {
  return "{{" + shortest(r.origin.x) + ", " + shortest(r.origin.y) + "}, {" +
         shortest(r.size.width) + ", " + shortest(r.size.height) + "}}";
}

// A coordinate cut to a whole number for the report, whatever the tree answered.
std::string truncated(double value) {
  if (std::isnan(value)) return "nan";
  if (value >= 9e15) return "huge";
  if (value <= -9e15) return "-huge";
  return std::to_string(static_cast<long long>(value));
}

std::string format(const char* pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

bool plausible(const AXRect& r) {
  for (double v : {r.origin.x, r.origin.y}) {
    if (!std::isfinite(v) || std::fabs(v) > kLargestCoordinate) return false;
  }
  for (double v : {r.size.width, r.size.height}) {
    if (!std::isfinite(v) || v < 0 || v > kLargestSize) return false;
  }
  return true;
}

}  // namespace

MissionControlOverlay::MissionControlOverlay(OverlayServices services)
    : s_(std::move(services)),
      host_(MissionControlHost::forVersion(s_.platform.systemMajorVersion)),
      dock_(s_.platform, host_, s_.log,
            [&accessibility = s_.platform.accessibility] {
              return accessibility.isProcessTrusted();
            }),
      detector_(s_.platform, host_, dock_),
      lastChange_(-std::numeric_limits<double>::infinity()),
      suppressUntil_(-std::numeric_limits<double>::infinity()) {
  if (!s_.stopwatch) s_.stopwatch = steadySeconds;
  detector_.setOnChange(lifetime_.guard([this](bool open) {
    if (open) {
      opened();
    } else {
      closed();
    }
    if (onOpenChange_) onOpenChange_(open);
  }));
  detector_.setOnDockActivity(lifetime_.guard([this] {
    lastChange_ = s_.platform.loop.now();
    recheck();
  }));
}

MissionControlOverlay::~MissionControlOverlay() = default;

// ---- Start and stop ------------------------------------------------------------------------

void MissionControlOverlay::start() {
  detector_.start();
}

void MissionControlOverlay::stop() {
  detector_.stop();
  mouseDownAt_.reset();
  if (clickTap_) clickTap_->enable(false);
  geometryTimer_.reset();
  hidePills(false);
}

// ---- Openings ------------------------------------------------------------------------------

void MissionControlOverlay::opened() {
  lastPills_.clear();
  lastChange_ = s_.platform.loop.now();
  expandedAt_.reset();
  passes_ = 0;
  passSeconds_ = 0;
  changes_.clear();
  // Bars and thumbnails of an earlier opening would misread clicks and the closing report.
  lastReport_.clear();
  barFrames_.clear();
  thumbnailFrames_.clear();
  s_.log.write("opened (noticed by " + detector_.lastTrigger() + ")");
  setPassInterval(kFastPassInterval);
  mouseDownAt_.reset();
  if (!clickTap_) {
    // Listen-only: the click goes on to Mission Control whatever we make of it.
    clickTap_ = s_.platform.eventTaps.createTap(
        platform::kSessionEventTap, platform::kHeadInsertEventTap,
        platform::kEventTapOptionListenOnly,
        platform::eventMaskBit(kLeftMouseDown) | platform::eventMaskBit(kLeftMouseUp),
        lifetime_.guard([this](const platform::TapEvent& event) { heard(event); }));
  }
  if (clickTap_) clickTap_->enable(true);
}

void MissionControlOverlay::closed() {
  mouseDownAt_.reset();
  if (clickTap_) clickTap_->enable(false);
  geometryTimer_.reset();
  hidePills(false);

  bool trusted = s_.platform.accessibility.isProcessTrusted();
  double average = passes_ > 0 ? passSeconds_ * 1000 / passes_ : 0;
  char timing[64];
  std::snprintf(timing, sizeof timing, "%d passes, %.1f ms each", passes_, average);
  std::string expanded =
      expandedAt_ ? format("+%.2fs", *expandedAt_ - detector_.openedAt()) : std::string("never");
  std::vector<std::string> notifications;
  for (const auto& n : detector_.dockNotifications()) {
    notifications.push_back(n.name + format(" +%.2fs", n.at));
  }
  std::string report = std::string("closed (ax=") + (trusted ? "true" : "false") + "); " + timing +
                       "; open " + format("+%.2fs", secondsSinceOpened()) + ", row expanded " +
                       expanded + ", layout: " + (changes_.empty() ? "none" : joined(changes_)) +
                       ", dock notifications at " +
                       (notifications.empty() ? "none" : joined(notifications)) + "; last pass:\n" +
                       (lastReport_.empty() ? "(no accessibility data)" : lastReport_);
  s_.log.write(report);
  lastCloseReport_ = std::move(report);

  if (s_.settings.mcLabelsEnabled() && !trusted && onClosedWithoutAccess_) {
    onClosedWithoutAccess_();
  }
}

void MissionControlOverlay::noteChange(const std::string& label) {
  if (changes_.size() < kMaxChanges)
    changes_.push_back(label + format("+%.2fs", secondsSinceOpened()));
}

double MissionControlOverlay::secondsSinceOpened() const {
  return s_.platform.loop.now() - detector_.openedAt();
}

// ---- Passes --------------------------------------------------------------------------------

void MissionControlOverlay::setPassInterval(double interval) {
  if (geometryTimer_ && std::fabs(geometryTimer_->interval() - interval) <= kSameInterval) return;
  geometryTimer_ =
      s_.platform.loop.repeating(interval, interval / 4, lifetime_.guard([this] { recheck(); }));
}

double MissionControlOverlay::passInterval() const {
  return geometryTimer_ ? geometryTimer_->interval() : 0;
}

bool MissionControlOverlay::isSuppressed() const {
  return s_.platform.loop.now() < suppressUntil_;
}

void MissionControlOverlay::recheck() {
  bool open = detector_.check("poll");
  if (!open) return;
  if (!s_.settings.mcLabelsEnabled() || !s_.platform.accessibility.isProcessTrusted()) {
    // Labels turned off, or the grant taken away, while Mission Control is up: pills that can
    // no longer follow the thumbnails go.
    if (!lastPills_.empty()) hidePills(true);
    return;
  }
  if (!isSuppressed()) pass();
}

double MissionControlOverlay::mainScreenHeight() {
  std::vector<platform::ScreenInfo> screens = s_.platform.screens.screens();
  return screens.empty() ? 0 : screens.front().frame.size.height;
}

void MissionControlOverlay::pass() {
  const double startedAt = s_.stopwatch();
  const double now = s_.platform.loop.now();
  std::string report;
  std::map<std::string, std::vector<Pill>> next;
  std::vector<AXRect> bars;
  std::vector<AXRect> items;
  bool barGone = false;

  const double mainHeight = mainScreenHeight();
  const bool showUnnamed = s_.settings.mcShowUnnamed();
  // A confused tree may list a desktop twice; its pill goes where it was seen first.
  std::set<SpaceID> labelled;

  std::vector<DockAccess::Row> rows = dock_.rows();
  catchUpWithDesktops(rows);
  for (const DockAccess::Row& row : rows) {
    std::string display = displayOf(row);
    std::vector<Desktop> desktops = s_.engine.desktopsOnDisplay(display);

    double barHeight = kDefaultBarHeight;
    if (row.bar) {
      barHeight = row.bar->size.height;
      bars.push_back(*row.bar);
      if (row.bar->minY() < kBarGoneAbove) barGone = true;
    }
    report += "display " + std::to_string(row.displayID) +
              " bar=" + (row.bar ? rectText(*row.bar) : std::string("-")) +
              " items=" + std::to_string(row.items.size()) +
              " desktops=" + std::to_string(desktops.size()) + "\n";

    std::vector<Pill>& list = next[display];
    for (std::size_t i = 0; i < row.items.size(); ++i) {
      const DockAccess::Item& item = row.items[i];
      AXRect frame = item.frame;
      if (row.bar && frame.maxY() <= row.bar->minY() + kAboveTheBar) frame.origin.y += barHeight;
      items.push_back(frame);
      report += "  '" + item.description + "' -> " + truncated(frame.origin.x) + "," +
                truncated(frame.origin.y) + " " + truncated(frame.size.width) + "x" +
                truncated(frame.size.height) + "\n";

      std::optional<Desktop> desktop = desktopOf(row, i, desktops);
      if (!desktop || !plausible(frame)) continue;
      if (!showUnnamed && !s_.presentation.isNamed(*desktop) &&
          s_.presentation.icon(*desktop).isNone()) {
        continue;
      }
      if (!labelled.insert(desktop->id()).second) continue;

      ScreenRect anchor = toScreen(frame, mainHeight);
      ScreenRect bar = row.bar ? toScreen(*row.bar, mainHeight)
                               : ScreenRect::make(anchor.minX(), anchor.minY() - kFallbackBarOffset,
                                                  anchor.size.width, kDefaultBarHeight);
      double labelWidth;
      if (frame.size.height <= kLabelHeightLimit) {
        // The collapsed bar shows the system's labels alone: their widths size the pills
        // once the thumbnails come back.
        labelWidths_[desktop->number] = frame.size.width;
        labelWidth = frame.size.width;
      } else {
        if (!expandedAt_) expandedAt_ = now;
        auto known = labelWidths_.find(desktop->number);
        labelWidth =
            known != labelWidths_.end() ? known->second : systemLabelWidth(desktop->number);
      }
      list.push_back(Pill{anchor, bar, labelWidth, *desktop});
    }
    if (list.empty()) next.erase(display);
  }

  lastReport_ = std::move(report);
  barFrames_ = std::move(bars);
  thumbnailFrames_ = std::move(items);

  if (barGone) {
    if (!lastPills_.empty()) noteChange("bar left");
    hidePills(true);
  } else if (next != lastPills_) {
    lastChange_ = now;
    lastPills_ = std::move(next);
    bool tall = false;
    for (const auto& [display, list] : lastPills_) {
      for (const Pill& pill : list) tall = tall || pill.anchor.size.height > kLabelHeightLimit;
    }
    noteChange(tall ? "expanded" : "collapsed");
    showPills(lastPills_);
  }

  setPassInterval(now - lastChange_ > kChangeWindow ? host_.passInterval : kFastPassInterval);
  ++passes_;
  passSeconds_ += std::max(0.0, s_.stopwatch() - startedAt);
}

double MissionControlOverlay::systemLabelWidth(int number) {
  // Measuring text is the dearest step of a pass, and the system's label never changes.
  auto known = systemLabelWidths_.find(number);
  if (known != systemLabelWidths_.end()) return known->second;
  return systemLabelWidths_[number] = dock_.systemLabelWidth(number);
}

void MissionControlOverlay::catchUpWithDesktops(const std::vector<DockAccess::Row>& rows) {
  // Desktops added or removed in Mission Control reach the engine only with its next sweep;
  // until then the numbers would put names on the wrong thumbnails. A bar that lists another
  // count of numbered desktops than the engine knows asks it to look now, once per layout.
  std::string counts;
  bool differs = false;
  for (const DockAccess::Row& row : rows) {
    auto numbered = std::count_if(row.items.begin(), row.items.end(),
                                  [](const DockAccess::Item& item) { return item.number(); });
    std::size_t known = s_.engine.desktopsOnDisplay(displayOf(row)).size();
    differs = differs || (numbered > 0 && static_cast<std::size_t>(numbered) != known);
    counts += std::to_string(row.displayID) + ":" + std::to_string(numbered) + "/" +
              std::to_string(known) + " ";
  }
  if (!differs || counts == refreshedFor_) return;
  refreshedFor_ = counts;
  s_.engine.refresh(false);
}

std::string MissionControlOverlay::displayOf(const DockAccess::Row& row) {
  if (auto uuid = s_.engine.skyLight().displayUUID(row.displayID)) return *uuid;
  if (!s_.engine.displays().empty()) return s_.engine.displays().front().uuid;
  return {};
}

std::optional<Desktop> MissionControlOverlay::desktopOf(const DockAccess::Row& row,
                                                        std::size_t index,
                                                        const std::vector<Desktop>& desktops) {
  const DockAccess::Item& item = row.items[index];
  if (std::optional<int> n = item.number()) {
    // Mission Control numbers desktops across displays on some versions and per display on
    // others; a number that names a desktop of another display is read per display.
    std::optional<Desktop> global = s_.engine.desktopWithNumber(*n);
    if (!global) return std::nullopt;
    bool mine = std::any_of(desktops.begin(), desktops.end(),
                            [&global](const Desktop& d) { return d.id() == global->id(); });
    if (!mine && *n >= 1 && static_cast<std::size_t>(*n) <= desktops.size()) {
      return desktops[static_cast<std::size_t>(*n) - 1];
    }
    return global;
  }
  // Unnumbered tiles can only be told apart by position, and only when nothing else is there.
  if (row.items.size() == desktops.size()) return desktops[index];
  return std::nullopt;
}

PillServices MissionControlOverlay::pillServices() {
  return PillServices{s_.platform.loop, s_.platform.canvases, s_.settings,
                      s_.presentation,  host_.pillExtraWidth, host_.collapsedPillMinHeight};
}

void MissionControlOverlay::showPills(const std::map<std::string, std::vector<Pill>>& pills) {
  std::vector<platform::ScreenInfo> screens = s_.platform.screens.screens();
  for (const auto& [display, list] : pills) {
    std::optional<platform::ScreenInfo> screen = s_.engine.skyLight().screen(display);
    if (!screen && !screens.empty()) screen = screens.front();
    if (!screen) continue;
    PanelSlot& slot = panels_[display];
    if (!slot.panel) {
      slot.panel = std::make_unique<OverlayPanel>(pillServices(), s_.platform.panels, display);
    }
    platform::Panel& panel = slot.panel->panel();
    if (panel.frame() != screen->frame) panel.setFrame(screen->frame, false);
    if (!panel.isVisible()) panel.orderFrontRegardless();
    std::vector<Pill> local = list;
    for (Pill& pill : local) {
      pill.anchor.origin.x -= screen->frame.origin.x;
      pill.anchor.origin.y -= screen->frame.origin.y;
      pill.bar.origin.x -= screen->frame.origin.x;
      pill.bar.origin.y -= screen->frame.origin.y;
    }
    ++slot.generation;
    slot.panel->pills().show(local, true, screen->backingScaleFactor);
  }
  for (auto& [display, slot] : panels_) {
    if (!pills.count(display) && slot.panel->panel().isVisible()) fadeOut(slot, true);
  }
}

void MissionControlOverlay::hidePills(bool animated) {
  lastPills_.clear();
  for (auto& [display, slot] : panels_) {
    if (slot.panel->panel().isVisible()) fadeOut(slot, animated);
  }
}

void MissionControlOverlay::fadeOut(PanelSlot& slot, bool animated) {
  PanelSlot* target = &slot;  // slots stay for the life of the overlay
  std::uint64_t generation = ++slot.generation;
  slot.panel->pills().fadeOut(animated, lifetime_.guard([target, generation] {
    if (target->generation == generation) target->panel->panel().orderOut();
  }));
}

OverlayPanel* MissionControlOverlay::panel(const std::string& display) {
  auto it = panels_.find(display);
  return it == panels_.end() ? nullptr : it->second.panel.get();
}

std::vector<std::string> MissionControlOverlay::panelDisplays() const {
  std::vector<std::string> out;
  for (const auto& [display, slot] : panels_) out.push_back(display);
  return out;
}

// ---- Clicks --------------------------------------------------------------------------------

bool MissionControlOverlay::clickTapEnabled() const {
  return clickTap_ && clickTap_->isEnabled();
}

void MissionControlOverlay::heard(const platform::TapEvent& event) {
  switch (event.type) {
    case platform::kEventTapDisabledByTimeout:
    case platform::kEventTapDisabledByUserInput:
      if (detector_.isOpen() && clickTap_) clickTap_->enable(true);
      return;
    case kLeftMouseDown:
      mouseDownAt_ = event.location;
      return;
    case kLeftMouseUp: {
      if (!mouseDownAt_) return;
      AXPoint down = *mouseDownAt_;
      mouseDownAt_.reset();
      double travel = std::hypot(event.location.x - down.x, event.location.y - down.y);
      if (travel <= kClickTravel) click(event.location);
      return;
    }
    default:
      return;
  }
}

void MissionControlOverlay::click(AXPoint at) {
  if (!detector_.isOpen()) return;
  auto hits = [at](const std::vector<AXRect>& frames) {
    return std::any_of(frames.begin(), frames.end(),
                       [at](const AXRect& frame) { return frame.contains(at); });
  };
  // Empty bar space and the add control change nothing the pills cover.
  if (hits(barFrames_) && !hits(thumbnailFrames_)) return;
  noteChange("click");
  suppressUntil_ = s_.platform.loop.now() + kClickQuiet;
  hidePills(true);
}

// ---- The press route -----------------------------------------------------------------------

void MissionControlOverlay::pressThumbnail(int number, std::function<void(bool)> completion) {
  if (!s_.platform.accessibility.isProcessTrusted()) {
    completion(false);
    return;
  }
  // A newer press takes over; the older caller hears that its press did not happen.
  switchTimer_.reset();
  if (pressCompletion_) finishPress(false);
  MainLoop& loop = s_.platform.loop;
  suppressUntil_ = loop.now() + kPressQuiet;
  hidePills(false);
  double startedAt = loop.now();
  if (!detector_.check("poll")) openMissionControl(s_.platform.launchServices);
  pressCompletion_ = std::move(completion);
  switchTimer_ = loop.repeating(
      kPressTick, 0, lifetime_.guard([this, number, startedAt] { pressTick(number, startedAt); }));
}

void MissionControlOverlay::finishPress(bool pressed) {
  std::function<void(bool)> completion = std::move(pressCompletion_);
  pressCompletion_ = nullptr;
  if (completion) completion(pressed);
}

void MissionControlOverlay::pressTick(int number, double startedAt) {
  MainLoop& loop = s_.platform.loop;
  double elapsed = loop.now() - startedAt;
  // The thumbnail is found the way passes label it, so a display that numbers its own desktops
  // from 1 is not mistaken for the first display.
  auto find = [this, number]() -> std::optional<DockAccess::Item> {
    for (const DockAccess::Row& row : dock_.rows()) {
      std::vector<Desktop> desktops = s_.engine.desktopsOnDisplay(displayOf(row));
      for (std::size_t i = 0; i < row.items.size(); ++i) {
        std::optional<Desktop> desktop = desktopOf(row, i, desktops);
        if (desktop && desktop->number == number) return row.items[i];
      }
    }
    return std::nullopt;
  };

  // Ticks land on multiples of the interval; a hair of rounding must not cost one more.
  if (elapsed >= kPressLookFrom - 1e-9) {
    if (std::optional<DockAccess::Item> item = find()) {
      switchTimer_.reset();
      std::function<void(bool)> completion = std::move(pressCompletion_);
      pressCompletion_ = nullptr;
      if (!dock_.press(*item)) {
        completion(false);
        return;
      }
      // Mission Control sometimes swallows the first press while it still animates in; a
      // second look tells. Once the overlay is gone the first press has to do.
      std::weak_ptr<void> alive = lifetime_.weak();
      loop.after(kPressFollowUp, [this, alive, find, completion = std::move(completion)] {
        if (alive.expired() || !detector_.check("poll")) {
          completion(true);
          return;
        }
        std::optional<DockAccess::Item> again = find();
        completion(again ? dock_.press(*again) : true);
      });
      return;
    }
  }
  if (elapsed > kPressGiveUp + 1e-9) {
    switchTimer_.reset();
    // Leave the user where they were: the launch toggles Mission Control closed again.
    if (detector_.check("poll")) openMissionControl(s_.platform.launchServices);
    finishPress(false);
  }
}

}  // namespace velmora
