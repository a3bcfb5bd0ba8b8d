#include "mission_control/mission_control_detector.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace velmora {

namespace {

constexpr std::uint32_t kAnyInputEventType = 0xFFFFFFFF;

}  // namespace

// ---- MissionControlDetector ----

MissionControlDetector::MissionControlDetector(platform::Platform platform, MissionControlHost host,
                                               DockAccess& dock)
    : platform_(platform),
      host_(std::move(host)),
      dock_(dock),
      openedAt_(-std::numeric_limits<double>::infinity()) {
  dock_.setHandler(lifetime_.guard([this](const std::string& name) { dockNotified(name); }));
  using platform::SessionEvent;
  auto pauses = lifetime_.guard([this] { pause(); });
  auto resumes = lifetime_.guard([this] { resume(); });
  auto& workspace = platform_.workspace;
  sessionTokens_.push_back(workspace.observeSession(SessionEvent::screensDidSleep, pauses));
  sessionTokens_.push_back(workspace.observeSession(SessionEvent::sessionDidResignActive, pauses));
  sessionTokens_.push_back(workspace.observeSession(SessionEvent::screensDidWake, resumes));
  sessionTokens_.push_back(workspace.observeSession(SessionEvent::sessionDidBecomeActive, resumes));
}

void MissionControlDetector::start() {
  if (poll_) return;
  poll_ = platform_.loop.repeating(kPollInterval, kPollInterval / 4,
                                   lifetime_.guard([this] { tick(); }));
}

void MissionControlDetector::stop() {
  if (poll_) poll_->invalidate();
  poll_.reset();
  if (!open_) return;
  open_ = false;
  if (onChange_) onChange_(false);
}

bool MissionControlDetector::check(const std::string& trigger) {
  bool open = isMissionControlOnScreen(platform_.windowServer, platform_.screens, host_);
  if (open == open_) return open;
  open_ = open;
  lastTrigger_ = trigger;
  if (open) {
    openedAt_ = platform_.loop.now();
    dockNotifications_.clear();
  }
  if (onChange_) onChange_(open);
  return open;
}

void MissionControlDetector::tick() {
  if (paused_) return;
  // An idle Mac with Mission Control closed costs this one clock read per tick.
  double idle = platform_.inputClocks.secondsSinceLastEventType(platform::kEventSourceStateCombined,
                                                                kAnyInputEventType);
  if (!open_ && idle >= kIdleThreshold) return;
  check("poll");
}

void MissionControlDetector::dockNotified(const std::string& name) {
  if (open_ && dockNotifications_.size() < kMaxDockNotifications) {
    dockNotifications_.push_back({name, platform_.loop.now() - openedAt_});
  }
  if (checkQueued_ || paused_) return;
  // A burst of notifications costs one check.
  checkQueued_ = true;
  platform_.loop.post(lifetime_.guard([this] {
    checkQueued_ = false;
    bool wasOpen = open_;
    if (check("observer") && wasOpen && onDockActivity_) onDockActivity_();
  }));
}

bool MissionControlDetector::isMissionControlOnScreen(platform::WindowServer& windowServer,
                                                      platform::Screens& screens,
                                                      const MissionControlHost& host) {
  Value list = windowServer.windowListCopyWindowInfo(platform::kWindowListOptionOnScreenOnly, 0);
  if (!list.asArray()) return false;
  std::vector<Size> sizes;
  for (const auto& screen : screens.screens()) sizes.push_back(screen.frame.size);
  return isOpenIn(list, sizes, host);
}

bool MissionControlDetector::isOpenIn(const Value& windowList, const std::vector<Size>& screenSizes,
                                      const MissionControlHost& host) {
  const Value::Array* windows = windowList.asArray();
  if (!windows) return false;
  std::size_t screenSized = 0;
  for (const auto& window : *windows) {
    const Value* owner = window.find(platform::kWindowOwnerName);
    const std::string* ownerName = owner ? owner->asString() : nullptr;
    if (!ownerName || *ownerName != host.windowOwner) continue;
    const Value* layerValue = window.find(platform::kWindowLayer);
    std::int64_t layer = layerValue ? layerValue->asInteger().value_or(0) : 0;
    if (layer < 0) continue;
    // Mission Control's own layer settles it whatever the window's size.
    if (layer == host.windowLayer) return true;
    const Value* bounds = window.find(platform::kWindowBounds);
    auto dimension = [bounds](std::string_view key) {
      const Value* v = bounds ? bounds->find(key) : nullptr;
      return v ? v->asNumber().value_or(0) : 0.0;
    };
    double width = dimension("Width");
    double height = dimension("Height");
    bool fits = std::any_of(screenSizes.begin(), screenSizes.end(), [&](const Size& screen) {
      return std::abs(screen.width - width) < kScreenSizeSlack &&
             std::abs(screen.height - height) < kScreenSizeSlack;
    });
    if (fits) ++screenSized;
  }
  // The Dock keeps one screen-sized window per display at all times; Mission Control adds more.
  return screenSized > screenSizes.size();
}

// ---- GestureWatch ----

std::uint32_t GestureWatch::eventType(Clock clock) {
  switch (clock) {
    case Clock::pointer:
      return 5;
    case Clock::rotate:
      return 18;
    case Clock::scroll:
      return 22;
    case Clock::gesture:
      return 29;
    case Clock::magnify:
      return 30;
    case Clock::any:
      return kAnyInputEventType;
  }
  return kAnyInputEventType;
}

GestureWatch::GestureWatch(MainLoop& loop, platform::InputClocks& clocks)
    : loop_(loop), clocks_(clocks) {}

double GestureWatch::interval() const {
  return timer_ ? timer_->interval() : 0;
}

void GestureWatch::start() {
  if (timer_) return;
  schedule(kQuietInterval);
}

void GestureWatch::stop() {
  if (timer_) timer_->invalidate();
  timer_.reset();
  livePolls_ = 0;
  if (!swiping_) return;
  swiping_ = false;
  if (onChange_) onChange_(false);
}

double GestureWatch::secondsSince(Clock clock) const {
  return clocks_.secondsSinceLastEventType(platform::kEventSourceStateCombined, eventType(clock));
}

double GestureWatch::gestureQuietness() const {
  double gesture = secondsSince(Clock::gesture);
  if (secondsSince(Clock::pointer) <= gesture) return std::numeric_limits<double>::max();
  return gesture;
}

void GestureWatch::schedule(double interval) {
  if (timer_) timer_->invalidate();
  timer_ = loop_.repeating(interval, interval / 10, lifetime_.guard([this] { tick(); }));
}

void GestureWatch::tick() {
  double gesture = secondsSince(Clock::gesture);
  double scroll = secondsSince(Clock::scroll);
  double magnify = secondsSince(Clock::magnify);
  double rotate = secondsSince(Clock::rotate);
  double pointer = secondsSince(Clock::pointer);
  // A swipe is a steady stream of gesture events with the pointer resting and nothing
  // scrolling, magnifying or rotating.
  bool qualifies = gesture < 0.05 && std::min({scroll, magnify, rotate}) > 0.3 && pointer > 0.1;
  livePolls_ = qualifies ? livePolls_ + 1 : 0;
  bool swiping = livePolls_ >= kSwipingPolls;
  if (swiping != swiping_) {
    swiping_ = swiping;
    if (onChange_) onChange_(swiping);
    if (!timer_) return;  // stopped from the callback
  }
  double wanted = secondsSince(Clock::any) < 2.0 ? kLiveInterval : kQuietInterval;
  if (timer_ && std::abs(timer_->interval() - wanted) < 0.001) return;
  schedule(wanted);
}

}  // namespace velmora
