#include "switching/key_synth.h"

#include "platform/input_clocks.h"
#include "platform/key_codes.h"

namespace velmora {

namespace {

constexpr std::uint32_t kLargestKeyCode = 0xFFFF;

}  // namespace

bool KeySynth::post(std::uint32_t keyCode, std::uint64_t flags) {
  // A keyboard event carries a 16-bit key code; a larger one would be cut to some other key,
  // so it is refused rather than pressed. SystemShortcuts never offers such a combination.
  if (keyCode > kLargestKeyCode) return false;
  const auto key = static_cast<std::uint16_t>(keyCode);
  // Arrow keys sit on the numeric-pad/function block; without those bits the Dock does not
  // take ⌃← and ⌃→ as its move-one-space shortcuts.
  if (platform::keys::isArrow(keyCode))
    flags |= platform::kEventFlagNumericPad | platform::kEventFlagFunction;
  const bool control = flags & platform::kEventFlagControl;

  // Every event is posted even when one fails, so a Control down never goes without its up.
  bool posted = true;
  auto send = [&](std::uint16_t code, bool down, std::uint64_t eventFlags) {
    posted &= events_.post(platform::kEventSourceStateHID, {code, down, eventFlags},
                           platform::kHIDEventTap);
  };
  if (control) send(platform::keys::kControl, true, platform::kEventFlagControl);
  send(key, true, flags);
  send(key, false, flags);
  if (control) send(platform::keys::kControl, false, 0);
  return posted;
}

}  // namespace velmora
