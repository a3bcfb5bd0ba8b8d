#pragma once
// Every shortcut of the system is one Hotkey: a virtual key code and a Carbon modifier mask.
// KeyNames turns it into the short form shown in menus and logs (⌃⌥Space) and the spoken
// form for accessible labels (Control + Option + Space).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/hot_key_registry.h"
#include "platform/key_codes.h"
#include "platform/keyboard_layout.h"

namespace velmora {

struct Hotkey {
  std::uint32_t keyCode = 0;
  std::uint32_t modifiers = 0;

  bool operator==(const Hotkey&) const = default;

  // {"keyCode": …, "modifiers": …}; both keys are required when decoding.
  std::string toJSON() const;
  static std::optional<Hotkey> fromJSON(std::string_view json);
};

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
