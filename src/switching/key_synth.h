#pragma once
// Types a key combination the way a keyboard would, so that the system's own desktop
// shortcuts (⌃1…⌃0, ⌃←/⌃→) fire exactly as if the user had pressed them.

#include <cstdint>

#include "platform/keyboard_events.h"

namespace velmora {

class KeySynth {
 public:
  explicit KeySynth(platform::KeyboardEvents& events) : events_(events) {}

  // Posts the full press of keyCode with the given event flags at the HID tap: Control down
  // first when the flags hold Control, the key down and up, Control up last. Key codes above
  // 65535 do not fit a keyboard event; nothing is posted and the answer is false. Also false
  // when an event could not be posted.
  bool post(std::uint32_t keyCode, std::uint64_t flags);

 private:
  platform::KeyboardEvents& events_;
};

}  // namespace velmora
