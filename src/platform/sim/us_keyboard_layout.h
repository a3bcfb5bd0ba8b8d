#pragma once
// The virtual Mac's keyboard: the U.S. layout, as UCKeyTranslate answers for it with no
// modifiers held, and what each key types into a text field with and without Shift.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/keyboard_layout.h"

namespace velmora::sim {

class USKeyboardLayout final : public platform::KeyboardLayout {
 public:
  std::optional<std::string> translate(std::uint32_t keyCode) override;
};

// The character the key types into a text field (Space included), with Shift held or not;
// none for a key that types nothing (Return, Tab, Delete, arrows, function keys).
std::optional<std::string> usTypedCharacter(std::uint32_t keyCode, bool shift);

// The key (and whether Shift is held) that types `character`, one UTF-8 code point; none
// when the U.S. keyboard has no key for it (emoji, accented and non-Latin letters).
struct USKeyStroke {
  std::uint16_t keyCode = 0;
  bool shift = false;
  bool operator==(const USKeyStroke&) const = default;
};
std::optional<USKeyStroke> usKeyStrokeFor(std::string_view character);

}  // namespace velmora::sim
