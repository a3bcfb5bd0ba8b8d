#include "platform/sim/us_keyboard_layout.h"

#include <array>
#include <string_view>

#include "platform/key_codes.h"

namespace velmora::sim {

namespace {

// ANSI virtual key codes 0…50 of a U.S. keyboard; "" where the key types no character of its
// own here (Return, Tab, Space and Delete have fixed names elsewhere).
constexpr std::array<std::string_view, 51> kMain = {
    "a", "s", "d", "f", "h", "g", "z", "x", "c",  "v", "§", "b", "q", "w", "e", "r", "y",
    "t", "1", "2", "3", "4", "6", "5", "=", "9",  "7", "-", "8", "0", "]", "o", "u", "[",
    "i", "p", "",  "l", "j", "'", "k", ";", "\\", ",", "/", "n", "m", ".", "",  "",  "`"};

// The same keys with Shift held.
constexpr std::array<std::string_view, 51> kShifted = {
    "A", "S", "D", "F", "H", "G",  "Z", "X", "C", "V", "±", "B", "Q", "W", "E", "R", "Y",
    "T", "!", "@", "#", "$", "^",  "%", "+", "(", "&", "_", "*", ")", "}", "O", "U", "{",
    "I", "P", "",  "L", "J", "\"", "K", ":", "|", "<", "?", "N", "M", ">", "",  "",  "~"};

// Keypad keys type their digits and operators.
std::string_view keypad(std::uint32_t code) {
  switch (code) {
    case 65:
      return ".";
    case 67:
      return "*";
    case 69:
      return "+";
    case 75:
      return "/";
    case 78:
      return "-";
    case 81:
      return "=";
    case 82:
      return "0";
    case 83:
      return "1";
    case 84:
      return "2";
    case 85:
      return "3";
    case 86:
      return "4";
    case 87:
      return "5";
    case 88:
      return "6";
    case 89:
      return "7";
    case 91:
      return "8";
    case 92:
      return "9";
    default:
      return "";
  }
}

// The keypad's key codes, for the reverse look-up; the main keys come first there.
constexpr std::array<std::uint16_t, 16> kKeypadCodes = {65, 67, 69, 75, 78, 81, 82, 83,
                                                        84, 85, 86, 87, 88, 89, 91, 92};

}  // namespace

std::optional<std::string> usTypedCharacter(std::uint32_t keyCode, bool shift) {
  if (keyCode == platform::keys::kSpace) return std::string(" ");
  std::string_view text =
      keyCode < kMain.size() ? (shift ? kShifted : kMain)[keyCode] : keypad(keyCode);
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

std::optional<USKeyStroke> usKeyStrokeFor(std::string_view character) {
  if (character.empty()) return std::nullopt;
  if (character == " ") return USKeyStroke{platform::keys::kSpace, false};
  for (std::size_t code = 0; code < kMain.size(); ++code) {
    auto key = static_cast<std::uint16_t>(code);
    if (kMain[code] == character) return USKeyStroke{key, false};
    if (kShifted[code] == character) return USKeyStroke{key, true};
  }
  for (std::uint16_t code : kKeypadCodes) {
    if (keypad(code) == character) return USKeyStroke{code, false};
  }
  return std::nullopt;
}

std::optional<std::string> USKeyboardLayout::translate(std::uint32_t keyCode) {
  std::string_view text = keyCode < kMain.size() ? kMain[keyCode] : keypad(keyCode);
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

}  // namespace velmora::sim
