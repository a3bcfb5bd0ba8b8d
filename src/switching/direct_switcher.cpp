#include "switching/direct_switcher.h"

#include <cmath>

#include "spaces/space_engine.h"

namespace velmora {

namespace {
constexpr double kPollInterval = 0.05;
constexpr double kDeadline = 0.8;
}  // namespace

DirectSwitcher::DirectSwitcher(SpaceEngine& engine, LineLog* log, TitleFn title)
    : engine_(engine), loop_(engine.platform().loop), log_(log), title_(std::move(title)) {
  if (!title_) {
    title_ = [](const Desktop& d) { return "Desktop " + std::to_string(d.number); };
  }
}

SwitcherFactory DirectSwitcher::factory(LineLog* log, TitleFn title) {
  return [log, title](SpaceEngine& engine) {
    return std::make_unique<DirectSwitcher>(engine, log, title);
  };
}

void DirectSwitcher::write(const std::string& line) {
  if (log_) log_->write(line);
}

void DirectSwitcher::switchTo(const Desktop& desktop, std::string reason,
                              std::function<void(bool)> completion) {
  // Asking again for the desktop already on its way joins that switch.
  if (inFlight_ && inFlightTarget_ == desktop.id()) {
    if (completion) completions_[*inFlight_].push_back(std::move(completion));
    return;
  }
  std::uint64_t generation = ++generation_;
  inFlight_ = generation;
  inFlightTarget_ = desktop.id();
  if (completion) completions_[generation].push_back(std::move(completion));

  Attempt attempt{generation,
                  desktop,
                  title_(desktop),
                  std::move(reason),
                  engine_.currentSpaceIDForDisplay(desktop.space.displayUUID),
                  loop_.now()};
  std::int32_t status = engine_.skyLight().setCurrentSpace(desktop.space);
  attempt.reason += " [raw] status=" + std::to_string(status);
  loop_.after(kPollInterval, lifetime_.guard([this, attempt] { poll(attempt); }));
}

void DirectSwitcher::poll(Attempt attempt) {
  if (attempt.generation != generation_) {
    write(attempt.reason + ": → '" + attempt.title + "' superseded by a later switch");
    finish(attempt.generation, false);
    return;
  }
  engine_.refresh(false);
  std::optional<std::uint64_t> now =
      engine_.currentSpaceIDForDisplay(attempt.target.space.displayUUID);
  double elapsed = loop_.now() - attempt.startedAt;
  bool landed = now == attempt.target.id();
  if (!landed && elapsed < kDeadline) {
    loop_.after(kPollInterval, lifetime_.guard([this, attempt] { poll(attempt); }));
    return;
  }
  auto idText = [](const std::optional<std::uint64_t>& id) {
    return id ? std::to_string(*id) : std::string("?");
  };
  write(attempt.reason + ": " + idText(attempt.startSpace) + " → " +
        std::to_string(attempt.target.id()) + " '" + attempt.title + "' now=" + idText(now) +
        " after " + std::to_string(static_cast<long long>(std::llround(elapsed * 1000))) + "ms");
  finish(attempt.generation, landed);
}

void DirectSwitcher::finish(std::uint64_t generation, bool landed) {
  if (inFlight_ == generation) {
    inFlight_.reset();
    inFlightTarget_.reset();
    engine_.transitSpaceIDs.clear();
  }
  auto node = completions_.extract(generation);
  if (node.empty()) return;
  for (auto& completion : node.mapped()) completion(landed);
}

}  // namespace velmora
