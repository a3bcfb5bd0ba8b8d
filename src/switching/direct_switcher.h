#pragma once
// Lands on a desktop with a direct window-server call and confirms the landing by polling
// the engine every 50 ms until the target is current or 0.8 s have passed. A later request
// supersedes an earlier one: the earlier callers learn "not landed" at their next poll.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/main_loop.h"
#include "spaces/engine_services.h"

namespace velmora {

class SpaceEngine;

class DirectSwitcher final : public DesktopSwitching {
 public:
  // `title` names a desktop in log lines; "Desktop N" when none is given.
  using TitleFn = std::function<std::string(const Desktop&)>;
  DirectSwitcher(SpaceEngine& engine, LineLog* log, TitleFn title = nullptr);

  void switchTo(const Desktop& desktop, std::string reason,
                std::function<void(bool landed)> completion) override;

  static SwitcherFactory factory(LineLog* log, TitleFn title = nullptr);

 private:
  struct Attempt {
    std::uint64_t generation;
    Desktop target;
    std::string title;
    std::string reason;
    std::optional<std::uint64_t> startSpace;
    double startedAt;
  };

  void poll(Attempt attempt);
  void finish(std::uint64_t generation, bool landed);
  void write(const std::string& line);

  SpaceEngine& engine_;
  MainLoop& loop_;
  LineLog* log_;
  TitleFn title_;
  std::uint64_t generation_ = 0;
  std::optional<std::uint64_t> inFlight_;        // generation of the latest unfinished switch
  std::optional<std::uint64_t> inFlightTarget_;  // its target's space id
  std::map<std::uint64_t, std::vector<std::function<void(bool)>>> completions_;
  Lifetime lifetime_;
};

}  // namespace velmora
