#pragma once
// Key names from the current ASCII-capable keyboard layout, through Text Input Source Services
// and UCKeyTranslate.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/keyboard_layout.h"

namespace velmora::macos {

// Main thread only: the input-source calls expect it.
class MacKeyboardLayout final : public platform::KeyboardLayout {
 public:
  std::optional<std::string> translate(std::uint32_t keyCode) override;
};

}  // namespace velmora::macos
