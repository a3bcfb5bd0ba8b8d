#include "switching/desktop_switcher.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "spaces/space_engine.h"

namespace velmora {

namespace {

constexpr double kPollInterval = 0.05;
// The window server has had time to act by then; the refresh makes the engine see it even
// when no workspace notification follows.
constexpr double kRefreshDelay = 0.05;
constexpr double kShortcutDeadline = 2.0;
constexpr double kMissionControlDeadline = 1.5;
constexpr double kDirectDeadline = 0.8;
constexpr double kMoveInterval = 0.06;
constexpr double kMovesDeadline = 2.0;
constexpr double kExtraMoveAllowance = 0.4;
// More moves than this and a press of Mission Control is quicker than the animations.
constexpr std::ptrdiff_t kMaxMoves = 8;
// Poll times are sums of 0.05 s; a deadline must not slip one poll on rounding.
constexpr double kTimeSlack = 1e-9;

std::string idText(const std::optional<SpaceID>& id) {
  return id ? to_string(*id) : std::string("?");
}

std::string millis(double seconds) {
  return std::to_string(static_cast<long long>(std::llround(seconds * 1000)));
}

}  // namespace

DesktopSwitcher::DesktopSwitcher(SpaceEngine& engine, Dependencies dependencies)
    : engine_(engine), loop_(engine.platform().loop), deps_(std::move(dependencies)) {
  if (!deps_.title) {
    deps_.title = [](const Desktop& d) { return "Desktop " + std::to_string(d.number); };
  }
}

DesktopSwitcher::~DesktopSwitcher() {
  if (completions_.empty()) return;
  // Our owner may be half torn down; the waiting callers hear "not landed" on a fresh turn.
  loop_.post([waiting = std::move(completions_)]() mutable {
    for (auto& [generation, callbacks] : waiting) {
      for (auto& callback : callbacks) callback(false);
    }
  });
}

void DesktopSwitcher::write(const std::string& line) {
  if (deps_.log) deps_.log->write(line);
}

bool DesktopSwitcher::nativeSwitching() const {
  return deps_.settings && deps_.settings->nativeSwitching();
}

// ---- Request ----

void DesktopSwitcher::switchTo(const Desktop& requested, std::string reason,
                               Completion completion) {
  // A desktop added or removed since the engine last looked moves the numbers the system's
  // shortcuts go by (and a sweep may be up to 1.5 s away): route by the layout as it is now.
  engine_.refresh(false);
  std::optional<Desktop> found = engine_.desktopWithID(requested.id());
  if (!found) {
    write(reason + ": '" + deps_.title(requested) + "' is gone");
    if (completion) loop_.post([completion = std::move(completion)] { completion(false); });
    return;
  }
  const Desktop& desktop = *found;
  const std::string& display = desktop.space.displayUUID;
  std::optional<SpaceID> current = engine_.currentSpaceIDForDisplay(display);
  if (current == desktop.id()) {
    if (completion) completion(true);
    return;
  }
  std::string title = deps_.title(desktop);
  if (inFlight_ && inFlight_->attempt == generation_ && inFlight_->id == desktop.id()) {
    write(reason + ": already on the way to '" + title + "'");
    if (completion) completions_[generation_].push_back(std::move(completion));
    return;
  }

  std::uint64_t generation = ++generation_;
  inFlight_ = InFlight{desktop.id(), generation};
  if (completion) completions_[generation].push_back(std::move(completion));
  // Moves of a superseded step switch may have marked this desktop as passed through; this
  // landing is a real one and must be announced.
  engine_.landingIsReal(desktop.id());

  auto attempt = std::make_shared<Attempt>();
  attempt->generation = generation;
  attempt->reason = std::move(reason);
  attempt->target = desktop;
  attempt->title = std::move(title);
  attempt->from = current;

  bool trusted = deps_.trusted && deps_.trusted();
  if (!nativeSwitching() || !trusted || !pressInMissionControl_) {
    directRoute(attempt);
    return;
  }
  // The system's shortcuts act on the display with the active menu bar only.
  std::optional<std::string> active = engine_.skyLight().activeMenuBarDisplay();
  if (active && *active != display) {
    missionControlRoute(attempt);
    return;
  }
  if (deps_.shortcuts && deps_.keys) {
    if (auto combo = deps_.shortcuts->combo(desktop.number)) {
      shortcutRoute(attempt, *combo);
      return;
    }
    if (auto route = makeRoute(desktop)) {
      stepRoute(attempt, *route);
      return;
    }
  }
  missionControlRoute(attempt);
}

// ---- Routes ----

void DesktopSwitcher::shortcutRoute(const AttemptPtr& attempt,
                                    const SystemShortcuts::Combo& combo) {
  press(combo);
  attempt->reason += " [" + combo.display + "]";
  watch(attempt, kShortcutDeadline, Fallback::missionControl);
}

std::optional<DesktopSwitcher::Route> DesktopSwitcher::makeRoute(const Desktop& target) const {
  if (!deps_.shortcuts) return std::nullopt;
  const std::string& uuid = target.space.displayUUID;
  const auto& displays = engine_.displays();
  auto display = std::find_if(displays.begin(), displays.end(),
                              [&](const SkyLight::Display& d) { return d.uuid == uuid; });
  if (display == displays.end()) return std::nullopt;

  Route route;
  for (const auto& space : display->spaces) route.order.push_back(space.id);
  auto indexOf = [&](SpaceID id) -> std::optional<std::ptrdiff_t> {
    auto it = std::find(route.order.begin(), route.order.end(), id);
    if (it == route.order.end()) return std::nullopt;
    return it - route.order.begin();
  };
  std::optional<SpaceID> current = engine_.currentSpaceIDForDisplay(uuid);
  std::optional<std::ptrdiff_t> c = current ? indexOf(*current) : std::nullopt;
  std::optional<std::ptrdiff_t> t = indexOf(target.id());
  if (!c || !t) return std::nullopt;

  std::ptrdiff_t start = *c;
  if (std::abs(*t - *c) > kMaxMoves) {
    // Too far to walk: start from the desktop with a shortcut nearest the target, if it is
    // nearer than where the display is now.
    std::optional<int> anchor;
    std::ptrdiff_t nearest = std::abs(*t - *c);
    for (const Desktop& d : engine_.desktopsOnDisplay(uuid)) {
      if (!deps_.shortcuts->combo(d.number)) continue;
      std::optional<std::ptrdiff_t> i = indexOf(d.id());
      if (!i || std::abs(*i - *t) >= nearest) continue;
      nearest = std::abs(*i - *t);
      anchor = d.number;
      start = *i;
    }
    if (!anchor || nearest > kMaxMoves) return std::nullopt;
    route.plan.anchor = anchor;
  }
  route.plan.steps = static_cast<int>(*t - start);
  if (route.plan.steps != 0) {
    auto direction =
        route.plan.steps > 0 ? SystemShortcuts::Direction::right : SystemShortcuts::Direction::left;
    if (!deps_.shortcuts->combo(direction)) return std::nullopt;
  }
  route.startIndex = static_cast<std::size_t>(start);
  route.targetIndex = static_cast<std::size_t>(*t);
  return route;
}

std::optional<DesktopSwitcher::StepPlan> DesktopSwitcher::planSteps(const Desktop& target) const {
  if (auto route = makeRoute(target)) return route->plan;
  return std::nullopt;
}

void DesktopSwitcher::stepRoute(const AttemptPtr& attempt, const Route& route) {
  // The desktops walked over are not landings: the engine neither announces them nor
  // remembers them for jump back. Departure and arrival are announced as usual.
  std::set<SpaceID> transit;
  auto [low, high] = std::minmax(route.startIndex, route.targetIndex);
  for (std::size_t i = low; i <= high; ++i) transit.insert(route.order[i]);
  transit.erase(attempt->target.id());
  if (attempt->from) transit.erase(*attempt->from);
  engine_.setTransitSpaceIDs(std::move(transit));

  if (!route.plan.anchor) {
    moves(attempt, route.plan.steps);
    return;
  }
  std::optional<Desktop> anchor = engine_.desktopWithNumber(*route.plan.anchor);
  std::optional<SystemShortcuts::Combo> combo = deps_.shortcuts->combo(*route.plan.anchor);
  if (!anchor || !combo) {
    fallBack(attempt, Fallback::missionControl);
    return;
  }
  press(*combo);
  attempt->reason += " [" + combo->display + " on the way to '" + attempt->title + "']";
  attempt->anchor = anchor;
  attempt->stepsAfterAnchor = route.plan.steps;
  watch(attempt, kShortcutDeadline, Fallback::missionControl);
}

void DesktopSwitcher::moves(const AttemptPtr& attempt, int steps) {
  int n = std::abs(steps);
  if (n < 1) {
    finish(attempt->generation, true);
    return;
  }
  auto direction = steps > 0 ? SystemShortcuts::Direction::right : SystemShortcuts::Direction::left;
  std::optional<SystemShortcuts::Combo> combo = deps_.shortcuts->combo(direction);
  if (!combo) {  // turned off in System Settings since the plan was made
    fallBack(attempt, Fallback::missionControl);
    return;
  }
  press(*combo);
  // Spaced out so the Dock queues every press instead of taking two as one.
  for (int k = 1; k < n; ++k) {
    loop_.after(kMoveInterval * k, lifetime_.guard([this, move = *combo] { press(move); }));
  }
  attempt->reason += " [" + combo->display + (n >= 2 ? " ×" + std::to_string(n) : "") + "]";
  watch(attempt, kMovesDeadline + kExtraMoveAllowance * (n - 1), Fallback::missionControl);
}

void DesktopSwitcher::missionControlRoute(const AttemptPtr& attempt) {
  double began = loop_.now();
  auto answered = std::make_shared<bool>(false);
  std::function<void(bool)> done = lifetime_.guard([this, attempt, began, answered](bool pressed) {
    if (*answered) return;  // the overlay answers once; a second answer means nothing
    *answered = true;
    refreshSoon();
    attempt->reason += std::string(" [mission control] pressed=") + (pressed ? "true" : "false") +
                       " took=" + millis(loop_.now() - began) + "ms";
    // A press that happened and still missed will not do better directly.
    watch(attempt, kMissionControlDeadline, pressed ? Fallback::none : Fallback::direct);
  });
  MissionControlPress hook = pressInMissionControl_;  // the hook may replace itself
  if (!hook) {
    done(false);
    return;
  }
  hook(attempt->target.number, std::move(done));
}

void DesktopSwitcher::directRoute(const AttemptPtr& attempt) {
  std::int32_t status = engine_.skyLight().setCurrentSpace(attempt->target.space);
  refreshSoon();
  attempt->reason += " [raw] status=" + std::to_string(status);
  watch(attempt, kDirectDeadline, Fallback::reassert);
}

void DesktopSwitcher::reassert(const AttemptPtr& attempt) {
  // Only a call that was ignored is worth repeating: if the display went elsewhere, the user
  // (or another switch) moved it, and a target that is gone cannot be reached.
  std::optional<SpaceID> now = engine_.currentSpaceIDForDisplay(attempt->target.space.displayUUID);
  bool stillAtStart = attempt->from ? now == attempt->from : !now;
  std::optional<Desktop> target = engine_.desktopWithID(attempt->target.id());
  if (!stillAtStart || !target) {
    finish(attempt->generation, false);
    return;
  }
  engine_.skyLight().setCurrentSpace(target->space);
  write("re-asserted switch to '" + attempt->title + "'");
  refreshSoon();
  attempt->reason += " [raw again]";
  watch(attempt, kDirectDeadline, Fallback::none);
}

// ---- Watching for the landing ----

void DesktopSwitcher::watch(const AttemptPtr& attempt, double deadline, Fallback fallback) {
  attempt->startedAt = loop_.now();
  attempt->deadline = deadline;
  attempt->fallback = fallback;
  loop_.after(kPollInterval, lifetime_.guard([this, attempt] { poll(attempt); }));
}

void DesktopSwitcher::poll(const AttemptPtr& attempt) {
  if (attempt->generation != generation_) {
    write(attempt->reason + ": → '" + attempt->title + "' superseded by a later switch");
    finish(attempt->generation, false);
    return;
  }
  engine_.refresh(false);
  std::optional<SpaceID> now = engine_.currentSpaceIDForDisplay(attempt->target.space.displayUUID);
  double elapsed = loop_.now() - attempt->startedAt;
  SpaceID awaited = attempt->anchor ? attempt->anchor->id() : attempt->target.id();
  bool arrived = now == awaited;
  if (!arrived && elapsed + kTimeSlack < attempt->deadline) {
    loop_.after(kPollInterval, lifetime_.guard([this, attempt] { poll(attempt); }));
    return;
  }
  if (arrived && attempt->anchor) {
    // On the anchor: the moves count from here.
    attempt->from = attempt->anchor->id();
    attempt->anchor.reset();
    moves(attempt, attempt->stepsAfterAnchor);
    return;
  }
  lastNote_ = attempt->reason;
  write(attempt->reason + ": " + idText(attempt->from) + " → " + to_string(attempt->target.id()) +
        " '" + attempt->title + "' now=" + idText(now) + " after " + millis(elapsed) + "ms");
  if (now == attempt->target.id()) {
    finish(attempt->generation, true);
  } else {
    fallBack(attempt, attempt->fallback);
  }
}

void DesktopSwitcher::fallBack(const AttemptPtr& attempt, Fallback fallback) {
  attempt->anchor.reset();
  switch (fallback) {
    case Fallback::missionControl:
      attempt->reason += " fallback";
      missionControlRoute(attempt);
      return;
    case Fallback::direct:
      attempt->reason += " raw";
      directRoute(attempt);
      return;
    case Fallback::reassert:
      reassert(attempt);
      return;
    case Fallback::none:
      finish(attempt->generation, false);
      return;
  }
}

void DesktopSwitcher::finish(std::uint64_t generation, bool landed) {
  if (inFlight_ && inFlight_->attempt == generation) {
    inFlight_.reset();
    engine_.setTransitSpaceIDs({});
  }
  auto node = completions_.extract(generation);
  if (node.empty()) return;
  for (auto& completion : node.mapped()) completion(landed);
}

// ---- Helpers ----

void DesktopSwitcher::press(const SystemShortcuts::Combo& combo) {
  if (deps_.keys) deps_.keys->post(combo.keyCode, combo.flags);
}

void DesktopSwitcher::refreshSoon() {
  loop_.after(kRefreshDelay, lifetime_.guard([this] { engine_.refresh(false); }));
}

}  // namespace velmora
