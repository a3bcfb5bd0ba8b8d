#pragma once
// The system's own desktop shortcuts, as macOS keeps them in "com.apple.symbolichotkeys":
// which Switch to Desktop N and move-one-space shortcuts are on, and with which keys. Every
// question reads the preferences afresh; the user may change them in System Settings at any
// time.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/preferences.h"
#include "store/hotkey.h"

namespace velmora {

class SystemShortcuts {
 public:
  static constexpr const char* kDomain = "com.apple.symbolichotkeys";
  static constexpr const char* kKey = "AppleSymbolicHotKeys";

  // One key combination: a virtual key code, event flags and its printable form ("⌃←").
  struct Combo {
    std::uint32_t keyCode = 0;
    std::uint64_t flags = 0;
    std::string display;
    bool operator==(const Combo&) const = default;
  };
  enum class Direction { left, right };

  SystemShortcuts(platform::Preferences& preferences, const KeyNames& keyNames)
      : preferences_(preferences), keyNames_(keyNames) {}

  // The enabled shortcut of Switch to Desktop N (1…10); none when it is off or unusable.
  std::optional<Combo> combo(int desktopNumber) const;
  // The move-one-space shortcut; ⌃← / ⌃→ when the system has no usable entry, none when the
  // user turned it off.
  std::optional<Combo> combo(Direction direction) const;
  // How many of desktops 1…10 have a usable shortcut.
  int enabledCount() const;

 private:
  Value::Dictionary entries() const;
  std::optional<Combo> parse(const Value& entry, std::optional<Combo> fallback) const;

  platform::Preferences& preferences_;
  const KeyNames& keyNames_;
};

}  // namespace velmora
