#include "switching/shortcut_recorder.h"

#include <algorithm>
#include <array>
#include <utility>

namespace velmora {

namespace {

constexpr std::array<std::uint32_t, 12> kFunctionKeys = {122, 120, 99,  118, 96,  97,
                                                         98,  100, 101, 109, 103, 111};

}  // namespace

RecorderButton::RecorderButton(platform::LocalEventMonitors& monitors, HotkeyCenter& center,
                               const KeyNames& names, std::optional<Hotkey> hotkey)
    : monitors_(monitors), center_(center), names_(names), hotkey_(hotkey) {}

RecorderButton::~RecorderButton() {
  // No callbacks here: whoever listened may be going away with us.
  if (monitor_) monitors_.removeMonitor(*monitor_);
  if (recording_) center_.resume();
}

void RecorderButton::setHotkey(std::optional<Hotkey> hotkey) {
  if (hotkey == hotkey_) return;
  hotkey_ = hotkey;
  changed_.emit();
}

std::string RecorderButton::title() const {
  if (recording_) return std::string(kRecordingTitle);
  if (hotkey_) return names_.display(*hotkey_);
  return std::string(kEmptyTitle);
}

void RecorderButton::click() {
  if (recording_) {
    stop();
  } else {
    start();
  }
}

void RecorderButton::remove() {
  if (recording_) stop();
  hotkey_.reset();
  changed_.emit();
  if (onChange_) onChange_(hotkey_);
}

bool RecorderButton::isFunctionKey(std::uint32_t keyCode) {
  return std::find(kFunctionKeys.begin(), kFunctionKeys.end(), keyCode) != kFunctionKeys.end();
}

void RecorderButton::start() {
  recording_ = true;
  if (onRecordingChange_) onRecordingChange_(true);
  changed_.emit();
  center_.suspend();
  monitor_ = monitors_.addLocalMonitor(
      platform::kNSEventMaskKeyDown | platform::kNSEventMaskFlagsChanged,
      [this](const platform::LocalKeyEvent& event) { return handle(event); });
}

void RecorderButton::stop() {
  if (monitor_) monitors_.removeMonitor(*monitor_);
  monitor_.reset();
  recording_ = false;
  if (onRecordingChange_) onRecordingChange_(false);
  changed_.emit();
  center_.resume();
}

bool RecorderButton::handle(const platform::LocalKeyEvent& event) {
  if (!recording_ || event.type != platform::kNSEventTypeKeyDown) return false;
  // Only the four modifiers count: Caps Lock or the function flag of an F-key do not make
  // a combination.
  const std::uint32_t mask = platform::carbonModifiers(event.modifierFlags);
  if (event.keyCode == platform::keys::kEscape && mask == 0) {
    stop();
    return true;
  }
  if (mask == 0 && !isFunctionKey(event.keyCode)) {
    monitors_.beep();
    return true;
  }
  hotkey_ = Hotkey{event.keyCode, mask};
  if (onChange_) onChange_(hotkey_);
  stop();
  return true;
}

}  // namespace velmora
