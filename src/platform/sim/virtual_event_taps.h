#pragma once
// The virtual Mac's event taps: every enabled tap whose mask holds an event's type hears the
// event on the next loop turn, as a run-loop source would, before the event reaches what is
// under the pointer. The system may turn a tap off (a slow callback, secure input); the tap
// then hears the matching pseudo event once and stays off until it is enabled again.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/main_loop.h"
#include "platform/event_taps.h"

namespace velmora::sim {

class VirtualEventTaps final : public platform::EventTaps {
 public:
  explicit VirtualEventTaps(MainLoop& loop) : loop_(loop) {}

  std::unique_ptr<platform::EventTap> createTap(std::uint32_t location, std::uint32_t placement,
                                                std::uint32_t options,
                                                std::uint64_t eventsOfInterest,
                                                platform::EventTapCallback callback) override;

  // An input event of this type at `location`, heard by the enabled taps that want it.
  void deliver(std::uint32_t type, AXPoint location);
  // The system turns every enabled tap off with this reason (kEventTapDisabledByTimeout or
  // kEventTapDisabledByUserInput); each hears it once.
  void disableAll(std::uint32_t reason);
  // While set, CGEventTapCreate fails.
  void refuseTaps(bool refuse) { refuse_ = refuse; }
  // Taps alive, and those enabled just now.
  int tapCount() const;
  int enabledCount() const;

 private:
  struct State {
    std::uint32_t location = 0;
    std::uint32_t options = 0;
    std::uint64_t mask = 0;
    platform::EventTapCallback callback;
    bool enabled = true;
    bool alive = true;
  };
  class Tap;

  void prune();

  MainLoop& loop_;
  bool refuse_ = false;
  std::vector<std::shared_ptr<State>> taps_;
};

}  // namespace velmora::sim
