#pragma once
// Virtual key codes (the kVK_ constants of Carbon's Events.h) of the keys Velmora names,
// presses or listens for. They name physical keys, whatever the keyboard layout prints on
// them; KeyboardLayout says what a key types.
#include <array>
#include <cstdint>
#include <optional>

namespace velmora::platform::keys {

inline constexpr std::uint16_t kReturn = 36;          // kVK_Return
inline constexpr std::uint16_t kTab = 48;             // kVK_Tab
inline constexpr std::uint16_t kSpace = 49;           // kVK_Space
inline constexpr std::uint16_t kGrave = 50;           // kVK_ANSI_Grave
inline constexpr std::uint16_t kDelete = 51;          // kVK_Delete
inline constexpr std::uint16_t kEscape = 53;          // kVK_Escape
inline constexpr std::uint16_t kRightCommand = 54;    // kVK_RightCommand
inline constexpr std::uint16_t kCommand = 55;         // kVK_Command
inline constexpr std::uint16_t kShift = 56;           // kVK_Shift
inline constexpr std::uint16_t kOption = 58;          // kVK_Option
inline constexpr std::uint16_t kControl = 59;         // kVK_Control
inline constexpr std::uint16_t kFunction = 63;        // kVK_Function
inline constexpr std::uint16_t kHome = 115;           // kVK_Home
inline constexpr std::uint16_t kPageUp = 116;         // kVK_PageUp
inline constexpr std::uint16_t kForwardDelete = 117;  // kVK_ForwardDelete
inline constexpr std::uint16_t kEnd = 119;            // kVK_End
inline constexpr std::uint16_t kPageDown = 121;       // kVK_PageDown
inline constexpr std::uint16_t kLeftArrow = 123;      // kVK_LeftArrow
inline constexpr std::uint16_t kRightArrow = 124;     // kVK_RightArrow
inline constexpr std::uint16_t kDownArrow = 125;      // kVK_DownArrow
inline constexpr std::uint16_t kUpArrow = 126;        // kVK_UpArrow
inline constexpr std::uint16_t kP = 35;               // kVK_ANSI_P
inline constexpr std::uint16_t kW = 13;               // kVK_ANSI_W
inline constexpr std::uint16_t kKeypadEnter = 76;     // kVK_ANSI_KeypadEnter

// kVK_ANSI_0 … kVK_ANSI_9 by the digit they carry (the row above the letters is not in
// order: 5 comes after 6, 9 after 8).
inline constexpr std::array<std::uint16_t, 10> kDigits = {29, 18, 19, 20, 21, 23, 22, 26, 28, 25};

// kVK_F1 … kVK_F12, in order.
inline constexpr std::array<std::uint16_t, 12> kFunctionKeys = {122, 120, 99,  118, 96,  97,
                                                                98,  100, 101, 109, 103, 111};

inline constexpr bool isArrow(std::uint32_t keyCode) {
  return keyCode >= kLeftArrow && keyCode <= kUpArrow;
}
// The modifier keys themselves (Command to Function), which report flag changes, not key-downs.
inline constexpr bool isModifier(std::uint32_t keyCode) {
  return keyCode >= kRightCommand && keyCode <= kFunction;
}
// The digit key of a desktop number 1…10, as the system's "Switch to Desktop N" shortcuts
// use them (10 is the 0 key); none for any other number.
inline constexpr std::optional<std::uint16_t> digitForDesktop(int desktopNumber) {
  if (desktopNumber < 1 || desktopNumber > 10) return std::nullopt;
  return kDigits[static_cast<std::size_t>(desktopNumber % 10)];
}

}  // namespace velmora::platform::keys
