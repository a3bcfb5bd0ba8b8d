#include "platform/sim/us_keyboard_layout.h"

#include <array>
#include <string_view>

namespace velmora::sim {

namespace {

// ANSI virtual key codes 0…50 of a U.S. keyboard; "" where the key types no character of its
// own here (Return, Tab, Space and Delete have fixed names elsewhere).
constexpr std::array<std::string_view, 51> kMain = {
    "a", "s", "d", "f", "h", "g", "z", "x", "c",  "v", "§", "b", "q", "w", "e", "r", "y",
    "t", "1", "2", "3", "4", "6", "5", "=", "9",  "7", "-", "8", "0", "]", "o", "u", "[",
    "i", "p", "",  "l", "j", "'", "k", ";", "\\", ",", "/", "n", "m", ".", "",  "",  "`"};

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

}  // namespace

std::optional<std::string> USKeyboardLayout::translate(std::uint32_t keyCode) {
  std::string_view text = keyCode < kMain.size() ? kMain[keyCode] : keypad(keyCode);
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

}  // namespace velmora::sim
