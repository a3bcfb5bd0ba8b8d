#pragma once
// The virtual Mac's keyboard: the U.S. layout, as UCKeyTranslate answers for it with no
// modifiers held.

#include "platform/keyboard_layout.h"

namespace velmora::sim {

class USKeyboardLayout final : public platform::KeyboardLayout {
 public:
  std::optional<std::string> translate(std::uint32_t keyCode) override;
};

}  // namespace velmora::sim
