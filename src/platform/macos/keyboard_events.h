#pragma once
// Synthetic key presses on a Mac, posted through Quartz events.

#include "platform/keyboard_events.h"

namespace velmora::macos {

class MacKeyboardEvents final : public platform::KeyboardEvents {
 public:
  bool post(std::int32_t sourceStateID, const platform::KeyboardEvent& event,
            std::uint32_t tapLocation) override;
};

}  // namespace velmora::macos
