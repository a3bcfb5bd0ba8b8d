#include "platform/sim/virtual_event_taps.h"

#include <algorithm>
#include <utility>

namespace velmora::sim {

class VirtualEventTaps::Tap final : public platform::EventTap {
 public:
  explicit Tap(std::shared_ptr<State> state) : state_(std::move(state)) {}
  ~Tap() override { state_->alive = false; }
  void enable(bool enabled) override { state_->enabled = enabled; }
  bool isEnabled() const override { return state_->enabled; }

 private:
  std::shared_ptr<State> state_;
};

std::unique_ptr<platform::EventTap> VirtualEventTaps::createTap(
    std::uint32_t location, std::uint32_t /*placement*/, std::uint32_t options,
    std::uint64_t eventsOfInterest, platform::EventTapCallback callback) {
  if (refuse_ || !callback) return nullptr;
  prune();
  auto state = std::make_shared<State>();
  state->location = location;
  state->options = options;
  state->mask = eventsOfInterest;
  state->callback = std::move(callback);
  taps_.push_back(state);
  return std::make_unique<Tap>(std::move(state));
}

void VirtualEventTaps::deliver(std::uint32_t type, AXPoint location) {
  prune();
  for (const auto& tap : taps_) {
    if (!tap->enabled || type >= 64 || !(tap->mask & platform::eventMaskBit(type))) continue;
    std::weak_ptr<State> weak = tap;
    loop_.post([weak, event = platform::TapEvent{type, location}] {
      auto state = weak.lock();
      if (state && state->alive) state->callback(event);
    });
  }
}

void VirtualEventTaps::disableAll(std::uint32_t reason) {
  prune();
  for (const auto& tap : taps_) {
    if (!tap->enabled) continue;
    tap->enabled = false;
    std::weak_ptr<State> weak = tap;
    loop_.post([weak, event = platform::TapEvent{reason, {}}] {
      auto state = weak.lock();
      if (state && state->alive) state->callback(event);
    });
  }
}

int VirtualEventTaps::tapCount() const {
  return static_cast<int>(
      std::count_if(taps_.begin(), taps_.end(), [](const auto& tap) { return tap->alive; }));
}

int VirtualEventTaps::enabledCount() const {
  return static_cast<int>(std::count_if(
      taps_.begin(), taps_.end(), [](const auto& tap) { return tap->alive && tap->enabled; }));
}

void VirtualEventTaps::prune() {
  std::erase_if(taps_, [](const auto& tap) { return !tap->alive; });
}

}  // namespace velmora::sim
