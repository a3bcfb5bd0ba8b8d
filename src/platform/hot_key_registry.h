#pragma once
// System-wide hot keys through the Carbon hot-key service (InstallEventHandler on the
// application event target for kEventClassKeyboard / kEventHotKeyPressed,
// RegisterEventHotKey, UnregisterEventHotKey). A registered combination reaches Velmora
// whichever application is in front, and the front application never sees it.
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/keyboard_events.h"

namespace velmora::platform {

// Carbon modifier masks (Events.h), as hot keys and Velmora's stored shortcuts carry them.
inline constexpr std::uint32_t kCmdKey = 256;
inline constexpr std::uint32_t kShiftKey = 512;
inline constexpr std::uint32_t kOptionKey = 2048;
inline constexpr std::uint32_t kControlKey = 4096;

// The same four modifiers between Carbon masks and CGEventFlags; other bits are dropped.
inline constexpr std::uint64_t eventFlags(std::uint32_t carbon) {
  return (carbon & kCmdKey ? kEventFlagCommand : 0) | (carbon & kShiftKey ? kEventFlagShift : 0) |
         (carbon & kOptionKey ? kEventFlagOption : 0) |
         (carbon & kControlKey ? kEventFlagControl : 0);
}
inline constexpr std::uint32_t carbonModifiers(std::uint64_t flags) {
  return (flags & kEventFlagCommand ? kCmdKey : 0) | (flags & kEventFlagShift ? kShiftKey : 0) |
         (flags & kEventFlagOption ? kOptionKey : 0) |
         (flags & kEventFlagControl ? kControlKey : 0);
}

// EventHotKeyID: a four-character signature and a number of the registrant's choosing.
struct HotKeyID {
  std::uint32_t signature = 0;
  std::uint32_t id = 0;
  bool operator==(const HotKeyID&) const = default;
};

// Opaque EventHotKeyRef; never 0 for a registered hot key.
using HotKeyRef = std::uint64_t;

// OSStatus values the registry answers.
inline constexpr std::int32_t kHotKeyNoErr = 0;
inline constexpr std::int32_t kEventHotKeyExistsErr = -9878;  // another application holds it
inline constexpr std::int32_t kEventHotKeyInvalidErr = -9879;

struct HotKeyRegistration {
  std::int32_t status = kHotKeyNoErr;
  std::optional<HotKeyRef> ref;  // present exactly when status is kHotKeyNoErr
};

class HotKeyRegistry {
 public:
  virtual ~HotKeyRegistry() = default;
  // Installs the one handler of hot-key presses; it receives the pressed hot key's id (the
  // event's direct-object parameter) on the main loop. A second call replaces the handler.
  virtual void installHotKeyHandler(std::function<void(HotKeyID)> handler) = 0;
  // keyCode: virtual key code (platform/key_codes.h); modifiers: a Carbon mask (above).
  virtual HotKeyRegistration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                            HotKeyID id) = 0;
  virtual std::int32_t unregisterHotKey(HotKeyRef ref) = 0;
};

}  // namespace velmora::platform
