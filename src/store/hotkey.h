#pragma once
// Every shortcut of the system is one Hotkey: a virtual key code and a Carbon modifier mask.
// KeyNames turns it into the short form shown in menus and logs (⌃⌥Space) and the spoken
// form for accessible labels (Control + Option + Space).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/keyboard_layout.h"

namespace velmora {

namespace modifiers {
inline constexpr std::uint32_t kCommand = 256;
inline constexpr std::uint32_t kShift = 512;
inline constexpr std::uint32_t kOption = 2048;
inline constexpr std::uint32_t kControl = 4096;
}  // namespace modifiers

struct Hotkey {
  std::uint32_t keyCode = 0;
  std::uint32_t modifiers = 0;

  bool operator==(const Hotkey&) const = default;

  // {"keyCode": …, "modifiers": …}; both keys are required when decoding.
  std::string toJSON() const;
  static std::optional<Hotkey> fromJSON(std::string_view json);
};

// The key code of the digit key for desktop number 1…10 (10 is the 0 key); none otherwise.
std::optional<std::uint32_t> digitKeyCode(int desktopNumber);

// Carbon modifier masks and AppKit event flags; bits without a counterpart are dropped.
std::uint64_t eventFlags(std::uint32_t carbonModifiers);
std::uint32_t carbonModifiers(std::uint64_t eventFlags);

class KeyNames {
 public:
  explicit KeyNames(platform::KeyboardLayout& layout) : layout_(layout) {}

  // The fixed name, else the layout's character upper-cased, else "Key " and the code.
  std::string name(std::uint32_t keyCode) const;
  // The modifier symbols present, always in the order ⌃⌥⇧⌘.
  static std::string symbols(std::uint32_t modifiers);
  std::string display(const Hotkey& hotkey) const;
  std::string spoken(const Hotkey& hotkey) const;
  // The character a menu item shows for the key; empty when there is none.
  std::string keyEquivalent(std::uint32_t keyCode) const;

 private:
  platform::KeyboardLayout& layout_;
};

}  // namespace velmora
