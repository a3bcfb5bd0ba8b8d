#include "platform/sim/virtual_keyboard.h"

#include <array>
#include <utility>

#include "platform/hot_key_registry.h"
#include "platform/input_clocks.h"
#include "platform/key_codes.h"

namespace velmora::sim {

namespace {

// The left-hand modifier keys, in the order a person holds them down.
struct ModifierKey {
  std::uint64_t flag;
  std::uint16_t keyCode;
};
constexpr std::array<ModifierKey, 4> kModifierKeys{{
    {platform::kEventFlagControl, platform::keys::kControl},
    {platform::kEventFlagOption, platform::keys::kOption},
    {platform::kEventFlagShift, platform::keys::kShift},
    {platform::kEventFlagCommand, platform::keys::kCommand},
}};

}  // namespace

VirtualKeyboard::VirtualKeyboard(Machine& machine, VirtualHotKeys& hotKeys)
    : machine_(machine), hotKeys_(hotKeys) {}

bool VirtualKeyboard::post(std::int32_t /*sourceStateID*/, const platform::KeyboardEvent& event,
                           std::uint32_t /*tapLocation*/) {
  posted_.push_back(event);
  machine_.loop().post(lifetime_.guard([this, event] { route(event, true); }));
  return true;
}

void VirtualKeyboard::userPress(std::uint16_t keyCode, std::uint64_t flags) {
  std::vector<platform::KeyboardEvent> events;
  std::uint64_t held = 0;
  for (const ModifierKey& m : kModifierKeys) {
    if (flags & m.flag) {
      held |= m.flag;
      events.push_back({m.keyCode, true, held});
    }
  }
  events.push_back({keyCode, true, flags});
  events.push_back({keyCode, false, flags});
  for (auto it = kModifierKeys.rbegin(); it != kModifierKeys.rend(); ++it) {
    if (flags & it->flag) {
      held &= ~it->flag;
      events.push_back({it->keyCode, false, held});
    }
  }
  machine_.loop().post(lifetime_.guard([this, events] {
    for (const auto& e : events) route(e, false);
  }));
}

void VirtualKeyboard::route(const platform::KeyboardEvent& event, bool synthetic) {
  if (platform::keys::isModifier(event.keyCode)) {
    machine_.noteInput(platform::kEventFlagsChanged);
    if (velmoraKey_) {
      platform::LocalKeyEvent local{platform::kNSEventTypeFlagsChanged, event.keyCode, event.flags};
      auto monitors = monitors_;  // a handler may remove its own monitor
      for (const auto& [id, m] : monitors) {
        if ((m.first & platform::kNSEventMaskFlagsChanged) && m.second(local)) break;
      }
    }
    return;
  }
  if (!event.keyDown) {
    machine_.noteInput(platform::kEventKeyUp);
    return;
  }
  machine_.noteInput(platform::kEventKeyDown);
  Delivery delivery{event, synthetic, {}};
  if (hotKeys_.dispatch(event.keyCode, platform::carbonModifiers(event.flags))) {
    delivery.receiver = "hot key";
  } else if (systemShortcuts_ && systemShortcuts_(event)) {
    delivery.receiver = "system shortcut";
  } else if (velmoraKey_) {
    delivery.receiver = "Velmora";
    platform::LocalKeyEvent local{platform::kNSEventTypeKeyDown, event.keyCode, event.flags};
    auto monitors = monitors_;
    for (const auto& [id, m] : monitors) {
      if ((m.first & platform::kNSEventMaskKeyDown) && m.second(local)) break;
    }
  } else {
    const SimApp* front = machine_.frontmost ? machine_.findApp(*machine_.frontmost) : nullptr;
    delivery.receiver = front && front->name ? *front->name : std::string();
  }
  deliveries_.push_back(std::move(delivery));
}

platform::LocalMonitorID VirtualKeyboard::addLocalMonitor(
    std::uint64_t mask, std::function<bool(const platform::LocalKeyEvent&)> handler) {
  platform::LocalMonitorID id = nextMonitor_++;
  monitors_[id] = {mask, std::move(handler)};
  return id;
}

void VirtualKeyboard::removeMonitor(platform::LocalMonitorID monitor) {
  monitors_.erase(monitor);
}

}  // namespace velmora::sim
