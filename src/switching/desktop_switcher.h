#pragma once
// Carries out every landing on a desktop. A request picks the best route it can take: the
// system's own Switch to Desktop N shortcut, a short run of move-one-space presses from a
// nearby desktop that has a shortcut, a press on the desktop's thumbnail in Mission Control,
// or a direct window-server call. Each route is confirmed by polling the engine every 50 ms
// until the desktop is current or the route's deadline passes; a route that misses hands
// over to the next one. A later request supersedes an earlier one, and asking again for the
// desktop already on its way joins that switch. Every concluded route writes one line to
// the switches log.
//
// Pending work (polls, presses, refreshes, the Mission Control answer) holds the switcher
// through its lifetime token. A switcher destroyed while callers are waiting tells each of
// them "not landed" on the next loop turn.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/line_log.h"
#include "core/main_loop.h"
#include "spaces/engine_services.h"
#include "store/settings.h"
#include "switching/key_synth.h"
#include "switching/system_shortcuts.h"

namespace velmora {

class SpaceEngine;

class DesktopSwitcher final : public DesktopSwitching {
 public:
  using TitleFn = std::function<std::string(const Desktop&)>;
  using Completion = std::function<void(bool landed)>;
  // Opens Mission Control and presses the thumbnail of desktop `desktopNumber`, then calls
  // `done` once with whether it pressed.
  using MissionControlPress =
      std::function<void(int desktopNumber, std::function<void(bool pressed)> done)>;

  // What the switcher works with. Every pointer is non-owning and must outlive it.
  struct Dependencies {
    const Settings* settings = nullptr;          // none: native switching counts as off
    std::function<bool()> trusted;               // the Accessibility grant; none: untrusted
    const SystemShortcuts* shortcuts = nullptr;  // none (or no keys): no shortcut or step route
    KeySynth* keys = nullptr;
    LineLog* log = nullptr;  // the switches log; none drops the lines
    TitleFn title;           // names a desktop in log lines; "Desktop N" when none
  };

  // How to reach a desktop without a shortcut of its own: press the anchor's shortcut first
  // (none: start where the display is), then `steps` one-space moves (positive: right).
  struct StepPlan {
    std::optional<int> anchor;
    int steps = 0;
    bool operator==(const StepPlan&) const = default;
  };

  // The switch being carried out: its target's space id and its generation.
  struct InFlight {
    SpaceID id;
    std::uint64_t attempt = 0;
    bool operator==(const InFlight&) const = default;
  };

  DesktopSwitcher(SpaceEngine& engine, Dependencies dependencies);
  ~DesktopSwitcher() override;
  DesktopSwitcher(const DesktopSwitcher&) = delete;
  DesktopSwitcher& operator=(const DesktopSwitcher&) = delete;

  void switchTo(const Desktop& desktop, std::string reason, Completion completion) override;

  // Absent until the application hands presses to the Mission Control overlay; while absent
  // every switch takes the direct route. May be set or replaced at any time.
  void setPressInMissionControl(MissionControlPress press) {
    pressInMissionControl_ = std::move(press);
  }

  // The step plan for the target as things stand, or none when no plan can be made.
  std::optional<StepPlan> planSteps(const Desktop& target) const;

  // ---- Inspection ----
  std::uint64_t generation() const { return generation_; }
  std::optional<InFlight> inFlight() const { return inFlight_; }
  // The reason line of the last concluded route.
  const std::string& lastNote() const { return lastNote_; }

 private:
  enum class Fallback { none, missionControl, direct, reassert };

  // One route's watch for the landing.
  struct Attempt {
    std::uint64_t generation = 0;
    std::string reason;
    Desktop target;
    std::string title;
    std::optional<SpaceID> from;  // where the display was when the route began
    double startedAt = 0;
    double deadline = 0;
    Fallback fallback = Fallback::none;
    // While pressing the anchor: the desktop awaited, then the moves that follow it.
    std::optional<Desktop> anchor;
    int stepsAfterAnchor = 0;
  };
  using AttemptPtr = std::shared_ptr<Attempt>;
  // A step plan with the positions it was made from.
  struct Route {
    StepPlan plan;
    std::vector<SpaceID> order;  // the display's spaces, full-screen ones included
    std::size_t startIndex = 0;  // where the moves begin: the anchor, else the current
    std::size_t targetIndex = 0;
  };

  std::optional<Route> makeRoute(const Desktop& target) const;
  void shortcutRoute(const AttemptPtr& attempt, const SystemShortcuts::Combo& combo);
  void stepRoute(const AttemptPtr& attempt, const Route& route);
  void moves(const AttemptPtr& attempt, int steps);
  void missionControlRoute(const AttemptPtr& attempt);
  void directRoute(const AttemptPtr& attempt);
  void reassert(const AttemptPtr& attempt);
  void watch(const AttemptPtr& attempt, double deadline, Fallback fallback);
  void poll(const AttemptPtr& attempt);
  void fallBack(const AttemptPtr& attempt, Fallback fallback);
  void finish(std::uint64_t generation, bool landed);

  void press(const SystemShortcuts::Combo& combo);
  void refreshSoon();
  bool nativeSwitching() const;
  void write(const std::string& line);

  SpaceEngine& engine_;
  MainLoop& loop_;
  Dependencies deps_;
  MissionControlPress pressInMissionControl_;
  std::uint64_t generation_ = 0;
  std::optional<InFlight> inFlight_;
  std::map<std::uint64_t, std::vector<Completion>> completions_;  // by generation
  std::string lastNote_;
  Lifetime lifetime_;
};

}  // namespace velmora
