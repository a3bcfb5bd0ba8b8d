#include "spaces/space_engine.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "core/notifications.h"

namespace velmora {

namespace {

constexpr double kDistantPast = -std::numeric_limits<double>::infinity();
constexpr double kTrailingRefreshDelay = 0.03;
constexpr double kSweepInterval = 1.5;
constexpr double kSweepTolerance = 0.5;
constexpr double kAppsCacheSeconds = 1.0;
constexpr double kBadgePollInterval = 6.0;
constexpr double kBadgeIdleLimit = 90.0;
// A sample is credited only when the gap since the previous one is plausible: a longer
// gap means sleep, a clock change or a stalled main thread.
constexpr double kMaxSampleGap = 30.0;
constexpr double kTimeFlushInterval = 60.0;
constexpr float kFrontmostTimeout = 0.3f;

}  // namespace

SpaceEngine::SpaceEngine(const platform::Platform& platform, NotificationCenter& center,
                         EngineServices services)
    : platform_(platform),
      center_(center),
      services_(std::move(services)),
      skyLight_(platform.windowServer, platform.screens),
      appsCachedAt_(kDistantPast),
      lastTimeSample_(platform.loop.wallNow()),
      lastTimeFlush_(platform.loop.wallNow()),
      lastBadgePoll_(kDistantPast) {
  if (!services_.timeLedger) services_.timeLedger = &defaultLedger_;
  refresh(true);
}

SpaceEngine::~SpaceEngine() = default;

const EngineSettings& SpaceEngine::settings() const {
  if (services_.settings) return *services_.settings;
  return defaultSettings_;
}

void SpaceEngine::log(const std::string& line) {
  if (services_.switchesLog) services_.switchesLog->write(line);
}

void SpaceEngine::start() {
  if (sweep_) return;
  observers_.push_back(platform_.workspace.observeActiveSpaceChanged(
      lifetime_.guard([this] { environmentChanged(); })));
  observers_.push_back(platform_.workspace.observeScreenParametersChanged(
      lifetime_.guard([this] { environmentChanged(); })));
  observers_.push_back(center_.observe(notifications::kSpaceMetaChanged,
                                       lifetime_.guard([this] { metaChanged(); })));
  observers_.push_back(center_.observe(notifications::kBadgesDidChange,
                                       lifetime_.guard([this] { badgesChanged(); })));
  sweep_ = platform_.loop.repeating(kSweepInterval, kSweepTolerance,
                                    lifetime_.guard([this] { sweepTick(); }));
}

void SpaceEngine::sweepTick() {
  refresh(false);
  sampleTime();
  pollBadges();
}

// ---- Refresh ----

void SpaceEngine::refresh(bool quiet) {
  std::vector<SkyLight::Display> fresh = skyLight_.displays();
  if (fresh.empty()) return;  // no answer: keep what we had rather than flicker to nothing

  std::map<std::string, SpaceID> newCurrent;
  for (const SkyLight::Display& display : fresh) newCurrent[display.uuid] = display.currentSpaceID;

  // The user's desktop also changes when they click into another display, with no space
  // changing anywhere: the time so far belongs to the desktop they left there.
  std::optional<std::string> active = skyLight_.activeMenuBarDisplay();
  bool activeMoved = activeDisplay_ && active && *active != *activeDisplay_;
  std::optional<Desktop> before;
  if (activeMoved) {
    if (auto id = currentSpaceIDForDisplay(*activeDisplay_)) before = desktopWithID(*id);
    creditTime(before);
  }
  if (active) activeDisplay_ = active;

  // The sweep refreshes every 1.5 s and almost always finds nothing new: number the desktops
  // again only when the layout changed.
  bool layoutChanged = fresh != displays_;
  if (layoutChanged) {
    std::vector<Desktop> newDesktops;
    int count = 0;
    for (const SkyLight::Display& display : fresh) {
      for (const SkyLight::Space& space : display.spaces) {
        if (!space.isDesktop()) continue;
        newDesktops.push_back(Desktop{space, ++count, space.id == display.currentSpaceID});
      }
    }
    displays_ = std::move(fresh);
    desktops_ = std::move(newDesktops);
  }

  std::vector<SwitchRecord> records;
  for (const auto& [uuid, newID] : newCurrent) {
    auto old = currentPerDisplay_.find(uuid);
    std::optional<SpaceID> oldID;
    if (old != currentPerDisplay_.end()) {
      if (old->second == newID) continue;
      oldID = old->second;
      // Credit the time up to now to the desktop being left: currentDesktop still resolves
      // through the old current map.
      sampleTime();
      services_.timeLedger->flushTime();
      if (!transitSpaceIDs_.contains(*oldID) && desktopWithID(*oldID)) {
        earlierDesktopID_ = lastDesktopID_;
        lastDesktopID_ = *oldID;
      }
    }
    if (transitSpaceIDs_.contains(newID)) continue;
    std::optional<Desktop> to = desktopWithID(newID);
    if (!to) continue;  // a full-screen space: nothing to announce
    // Back on the desktop jump back would go to (after a full-screen space): jump back goes
    // where it went before that desktop was left.
    if (lastDesktopID_ == to->id()) lastDesktopID_ = std::exchange(earlierDesktopID_, std::nullopt);
    std::optional<Desktop> from = oldID ? desktopWithID(*oldID) : std::nullopt;
    records.push_back(SwitchRecord{uuid, from, *to});
  }
  currentPerDisplay_ = std::move(newCurrent);

  if (layoutChanged) {
    changed_.emit();
    center_.post(notifications::kSpacesDidChange);
  }
  if (quiet) return;
  if (!records.empty()) {
    center_.post(notifications::kActiveSpaceDidChange);
    for (const SwitchRecord& record : records) {
      if (onSwitch_) onSwitch_(record.displayUUID, record.from, record.to);
    }
  } else if (activeMoved) {
    std::optional<Desktop> after = currentDesktop();
    if (after && (!before || after->id() != before->id())) {
      center_.post(notifications::kActiveSpaceDidChange);
    }
  }
}

void SpaceEngine::environmentChanged() {
  scheduleRefresh();
}

void SpaceEngine::scheduleRefresh() {
  if (refreshPending_) return;
  refreshPending_ = true;
  refresh(false);
  platform_.loop.after(kTrailingRefreshDelay, lifetime_.guard([this] {
    refreshPending_ = false;
    refresh(false);
  }));
}

// ---- Reading ----

std::optional<Desktop> SpaceEngine::desktopWithID(SpaceID id) const {
  for (const Desktop& d : desktops_) {
    if (d.id() == id) return d;
  }
  return std::nullopt;
}

std::optional<Desktop> SpaceEngine::desktopWithNumber(int number) const {
  for (const Desktop& d : desktops_) {
    if (d.number == number) return d;
  }
  return std::nullopt;
}

std::vector<Desktop> SpaceEngine::desktopsOnDisplay(const std::string& displayUUID) const {
  std::vector<Desktop> result;
  for (const Desktop& d : desktops_) {
    if (d.space.displayUUID == displayUUID) result.push_back(d);
  }
  return result;
}

std::optional<SpaceID> SpaceEngine::currentSpaceIDForDisplay(const std::string& displayUUID) const {
  auto it = currentPerDisplay_.find(displayUUID);
  if (it == currentPerDisplay_.end()) return std::nullopt;
  return it->second;
}

std::optional<Desktop> SpaceEngine::currentDesktop() {
  std::optional<std::string> display = skyLight_.activeMenuBarDisplay();
  if (!display && !displays_.empty()) display = displays_.front().uuid;
  if (display) {
    if (auto id = currentSpaceIDForDisplay(*display)) {
      if (auto desktop = desktopWithID(*id)) return desktop;
    }
  }
  for (const Desktop& d : desktops_) {
    if (d.isCurrent) return d;
  }
  return std::nullopt;
}

std::optional<Desktop> SpaceEngine::lastDesktop() {
  if (!lastDesktopID_) return std::nullopt;
  std::optional<Desktop> last = desktopWithID(*lastDesktopID_);
  std::optional<Desktop> current = currentDesktop();
  if (last && current && last->id() == current->id()) return std::nullopt;
  return last;
}

// ---- Applications ----

std::vector<SpaceApp> SpaceEngine::apps(const Desktop& desktop) const {
  auto it = appsCache_.find(desktop.id());
  return it == appsCache_.end() ? std::vector<SpaceApp>{} : it->second;
}

void SpaceEngine::setSampleApps(std::optional<AppsMap> sample) {
  sampleApps_ = std::move(sample);
  if (sampleApps_) {
    appsCache_ = *sampleApps_;
    changed_.emit();
  }
}

void SpaceEngine::refreshApps(bool force) {
  if (sampleApps_) return;
  double now = platform_.loop.now();
  if (!force && now - appsCachedAt_ <= kAppsCacheSeconds) return;
  appsCachedAt_ = now;

  std::map<std::int64_t, SkyLight::WindowInfo> windowMap;
  std::map<std::int64_t, std::size_t> position;
  std::vector<SkyLight::WindowInfo> windows = skyLight_.windows();
  for (std::size_t i = 0; i < windows.size(); ++i) {
    windowMap.emplace(windows[i].id, windows[i]);
    position.emplace(windows[i].id, i);
  }

  const bool withBadges = settings().badgesEnabled() && services_.badgeReader;
  const platform::pid_t self = platform_.workspace.currentProcessID();
  AppsMap fresh;
  for (const Desktop& desktop : desktops_) {
    std::vector<std::pair<double, platform::pid_t>> order;  // (position, pid), first window
    std::set<platform::pid_t> seen;
    for (std::int64_t windowID : skyLight_.windowIDs(desktop.id())) {
      auto w = windowMap.find(windowID);
      if (w == windowMap.end()) continue;
      platform::pid_t pid = w->second.pid;
      if (pid == self || !seen.insert(pid).second) continue;
      auto p = position.find(windowID);
      double pos = p == position.end() ? std::numeric_limits<double>::quiet_NaN()
                                       : static_cast<double>(p->second);
      order.emplace_back(pos, pid);
    }
    // Frontmost first; a window without a position (not-a-number) sorts last.
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
      if (std::isnan(a.first)) return false;
      if (std::isnan(b.first)) return true;
      return a.first < b.first;
    });
    std::vector<SpaceApp>& list = fresh[desktop.id()];
    for (const auto& [pos, pid] : order) {
      auto app = platform_.workspace.runningApplication(pid);
      if (!app || app->activationPolicy != platform::ActivationPolicy::Regular) continue;
      SpaceApp spaceApp;
      spaceApp.pid = pid;
      spaceApp.name = app->localizedName.value_or("");
      spaceApp.icon = app->icon;
      if (withBadges) spaceApp.badge = services_.badgeReader->badge(pid);
      list.push_back(std::move(spaceApp));
    }
  }

  std::string before = badgeSignature();
  appsCache_ = std::move(fresh);
  changed_.emit();
  if (badgeSignature() != before) center_.post(notifications::kSpacesDidChange);

  if (force && withBadges) services_.badgeReader->requestRead();
}

std::string SpaceEngine::badgeSignature() const {
  if (!settings().badgesEnabled()) return {};
  std::set<SpaceID> shown;
  for (const auto& [uuid, id] : currentPerDisplay_) shown.insert(id);
  std::set<platform::pid_t> visible;
  for (const auto& [desktopID, list] : appsCache_) {
    if (!shown.contains(desktopID)) continue;
    for (const SpaceApp& app : list) visible.insert(app.pid);
  }
  std::map<platform::pid_t, std::string> hidden;
  for (const auto& [desktopID, list] : appsCache_) {
    for (const SpaceApp& app : list) {
      if (app.badge && !visible.contains(app.pid)) hidden[app.pid] = *app.badge;
    }
  }
  std::vector<std::string> texts;
  for (const auto& [pid, text] : hidden) texts.push_back(text);
  std::sort(texts.begin(), texts.end());
  std::string signature;
  for (const std::string& text : texts) {
    signature += text;
    signature += '\n';
  }
  return signature;
}

// ---- Moving ----

void SpaceEngine::switchTo(const Desktop& desktop, std::string reason,
                           std::function<void(bool)> completion) {
  if (switcher_) {
    switcher_->switchTo(desktop, std::move(reason), std::move(completion));
    return;
  }
  // Only a process still being put together has no switcher; nobody is left waiting.
  log(reason + ": no switcher to reach '" + to_string(desktop.id()) + "'");
  if (completion) platform_.loop.post(std::bind(std::move(completion), false));
}

void SpaceEngine::open(const SpaceApp& app, const Desktop& desktop, std::string reason,
                       std::function<void(bool)> completion) {
  switchTo(desktop, std::move(reason),
           lifetime_.guard([this, app, completion = std::move(completion)](bool landed) {
             if (landed) {
               auto running = platform_.workspace.runningApplication(app.pid);
               if (!running || running->terminated) {
                 log("could not bring " + app.name + " to the front: it is no longer running");
                 return;
               }
               std::string line = "brought " + app.name + " to the front:";
               platform::Accessibility& ax = platform_.accessibility;
               if (ax.isProcessTrusted()) {
                 platform::AXElementRef element = ax.applicationElement(app.pid);
                 ax.setMessagingTimeout(element, kFrontmostTimeout);
                 platform::AXError error = ax.setAttributeValue(element, "AXFrontmost", true);
                 line += " accessibility=" + (error == platform::kAXErrorSuccess
                                                  ? std::string("ok")
                                                  : "error " + std::to_string(error));
               }
               bool accepted = platform_.workspace.activate(app.pid, 0);
               line += std::string(" activate=") + (accepted ? "accepted" : "refused");
               log(line);
             }
             if (completion) completion(landed);
           }));
}

void SpaceEngine::jumpBack() {
  if (auto last = lastDesktop()) switchTo(*last, "jump back");
}

void SpaceEngine::step(int delta) {
  std::optional<Desktop> current = currentDesktop();
  if (!current) return;
  std::vector<Desktop> onDisplay = desktopsOnDisplay(current->space.displayUUID);
  auto it = std::find_if(onDisplay.begin(), onDisplay.end(),
                         [&](const Desktop& d) { return d.id() == current->id(); });
  if (it == onDisplay.end()) return;
  long count = static_cast<long>(onDisplay.size());
  long index = ((it - onDisplay.begin()) + delta % count + count) % count;
  switchTo(onDisplay[static_cast<std::size_t>(index)], "step");
}

bool SpaceEngine::moveFrontWindow(const std::optional<platform::RunningApplication>& app,
                                  const Desktop& desktop, bool follow) {
  if (!app || app->pid == platform_.workspace.currentProcessID()) return false;
  std::optional<std::int64_t> window = skyLight_.frontWindow(app->pid);
  if (!window) return false;
  skyLight_.moveWindow(*window, desktop.id());
  appsCachedAt_ = kDistantPast;
  if (!follow) return true;
  SpaceApp moved;
  moved.pid = app->pid;
  moved.name = app->localizedName.value_or("");
  open(moved, desktop, "move window");
  return true;
}

// ---- Announcements ----

void SpaceEngine::metaChanged() {
  changed_.emit();
  center_.post(notifications::kSpacesDidChange);
}

void SpaceEngine::badgesChanged() {
  std::string line = "dock badges: ";
  std::vector<std::string> entries;
  if (services_.badgeReader) {
    for (const auto& [pid, text] : services_.badgeReader->badges()) {
      auto app = platform_.workspace.runningApplication(pid);
      std::string name =
          app && app->localizedName ? *app->localizedName : "pid " + std::to_string(pid);
      entries.push_back(name + " " + text);
    }
  }
  std::sort(entries.begin(), entries.end());
  if (entries.empty()) {
    line += "none";
  } else {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (i) line += ", ";
      line += entries[i];
    }
  }
  double duration = services_.badgeReader ? services_.badgeReader->lastReadDuration() : 0;
  line += " (read in " + std::to_string(std::llround(duration * 1000)) + " ms)";
  log(line);
  refreshApps(true);
}

// ---- Time and badges ----

double SpaceEngine::idleSeconds(std::initializer_list<std::uint32_t> eventTypes) {
  double idle = std::numeric_limits<double>::infinity();
  for (std::uint32_t type : eventTypes) {
    idle = std::min(idle, platform_.inputClocks.secondsSinceLastEventType(
                              platform::kEventSourceStateCombined, type));
  }
  return idle;
}

void SpaceEngine::sampleTime() {
  creditTime(currentDesktop());
}

void SpaceEngine::creditTime(const std::optional<Desktop>& desktop) {
  double now = platform_.loop.wallNow();
  double elapsed = now - lastTimeSample_;
  lastTimeSample_ = now;  // a long gap is dropped, not credited later
  if (!settings().trackTime() || !(elapsed > 0 && elapsed < kMaxSampleGap)) return;
  if (!desktop) return;
  double idleLimit = std::max(1, settings().idleMinutes()) * 60.0;
  using namespace platform;
  if (idleSeconds({kEventMouseMoved, kEventKeyDown, kEventLeftMouseDown, kEventRightMouseDown,
                   kEventScrollWheel, kEventFlagsChanged}) >= idleLimit) {
    return;
  }
  services_.timeLedger->addSeconds(desktop->space.managedID, elapsed);
  if (now - lastTimeFlush_ > kTimeFlushInterval) {
    lastTimeFlush_ = now;
    services_.timeLedger->flushTime();
  }
}

void SpaceEngine::flushTime() {
  sampleTime();
  services_.timeLedger->flushTime();
}

void SpaceEngine::pollBadges() {
  if (!settings().badgesEnabled() || sampleApps_ || !services_.badgeReader) return;
  double now = platform_.loop.now();
  if (now - lastBadgePoll_ < kBadgePollInterval) return;
  using namespace platform;
  if (idleSeconds({kEventMouseMoved, kEventKeyDown, kEventLeftMouseDown, kEventScrollWheel}) >=
      kBadgeIdleLimit) {
    return;
  }
  lastBadgePoll_ = now;
  services_.badgeReader->requestRead();
}

}  // namespace velmora
