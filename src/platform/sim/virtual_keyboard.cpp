#include "platform/sim/virtual_keyboard.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/hot_key_registry.h"
#include "platform/input_clocks.h"
#include "platform/key_codes.h"
#include "platform/sim/us_keyboard_layout.h"

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

// The length of the UTF-8 sequence a lead byte starts (1 for a stray byte, so a broken text
// still advances).
std::size_t sequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

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

void VirtualKeyboard::userType(const std::string& text) {
  std::string untypable;  // committed together, as an input method commits a whole string
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length =
        std::min(sequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
    std::string character = text.substr(i, length);
    i += length;
    std::optional<USKeyStroke> stroke = usKeyStrokeFor(character);
    if (!stroke) {
      untypable += character;
      continue;
    }
    if (!untypable.empty()) userInsertText(std::exchange(untypable, {}));
    userPress(stroke->keyCode, stroke->shift ? platform::kEventFlagShift : 0);
  }
  if (!untypable.empty()) userInsertText(untypable);
}

void VirtualKeyboard::userInsertText(const std::string& text) {
  machine_.loop().post(lifetime_.guard([this, text] { routeText(text); }));
}

void VirtualKeyboard::setVelmoraWindowKey(bool key) {
  velmoraKey_ = key;
  if (key && panels_) panels_->resignKey();
}

bool VirtualKeyboard::velmoraWindowKey() const {
  return velmoraKey_ || (panels_ && panels_->keyPanel());
}

void VirtualKeyboard::attachPanels(VirtualPanels& panels) {
  panels_ = &panels;
  // One key window at a time: a panel taking it takes it from the settings window.
  panels.setOnPanelBecameKey([this] { velmoraKey_ = false; });
}

VirtualTextField* VirtualKeyboard::focusedField() const {
  VirtualPanel* key = panels_ ? panels_->keyPanel() : nullptr;
  return key ? key->focusedField() : nullptr;
}

std::string VirtualKeyboard::edit(const platform::KeyboardEvent& event) {
  VirtualTextField* field = focusedField();
  if (!field) return {};
  if (event.keyCode == platform::keys::kDelete) {
    return field->userDeleteBackward() ? "\u232B" : "";
  }
  // Command and Control combinations are commands, not text; the Option layer (å, ∑, …) is
  // not part of this keyboard.
  constexpr std::uint64_t kCommandFlags =
      platform::kEventFlagCommand | platform::kEventFlagControl | platform::kEventFlagOption;
  if (event.flags & kCommandFlags) return {};
  std::optional<std::string> typed =
      usTypedCharacter(event.keyCode, (event.flags & platform::kEventFlagShift) != 0);
  if (!typed) return {};
  field->userInsert(*typed);
  return *typed;
}

void VirtualKeyboard::routeText(const std::string& text) {
  machine_.noteInput(platform::kEventKeyDown);
  Delivery delivery{{}, false, {}, true, text, {}};
  if (velmoraWindowKey()) {
    delivery.receiver = "Velmora";
    if (VirtualTextField* field = focusedField()) {
      field->userInsert(text);
      delivery.edit = text;
    }
  } else {
    const SimApp* front = machine_.frontmost ? machine_.findApp(*machine_.frontmost) : nullptr;
    delivery.receiver = front && front->name ? *front->name : std::string();
  }
  deliveries_.push_back(std::move(delivery));
}

void VirtualKeyboard::route(const platform::KeyboardEvent& event, bool synthetic) {
  if (platform::keys::isModifier(event.keyCode)) {
    machine_.noteInput(platform::kEventFlagsChanged);
    if (velmoraWindowKey()) {
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
  } else if (velmoraWindowKey()) {
    delivery.receiver = "Velmora";
    platform::LocalKeyEvent local{platform::kNSEventTypeKeyDown, event.keyCode, event.flags};
    auto monitors = monitors_;
    bool consumed = false;
    for (const auto& [id, m] : monitors) {
      if ((m.first & platform::kNSEventMaskKeyDown) && m.second(local)) {
        consumed = true;
        break;
      }
    }
    if (!consumed) delivery.edit = edit(event);
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
