#pragma once
// Synthetic keyboard events (CGEventSourceCreate, CGEventCreateKeyboardEvent, CGEventSetFlags,
// CGEventPost). Velmora presses the system's own desktop shortcuts this way; the events enter
// the system exactly as if the user had typed them.
#include <cstdint>

namespace velmora::platform {

// CGEventFlags bits.
inline constexpr std::uint64_t kEventFlagShift = 0x20000;
inline constexpr std::uint64_t kEventFlagControl = 0x40000;
inline constexpr std::uint64_t kEventFlagOption = 0x80000;
inline constexpr std::uint64_t kEventFlagCommand = 0x100000;
inline constexpr std::uint64_t kEventFlagNumericPad = 0x200000;
inline constexpr std::uint64_t kEventFlagFunction = 0x800000;

// CGEventTapLocation: the HID tap, where hardware events enter.
inline constexpr std::uint32_t kHIDEventTap = 0;

struct KeyboardEvent {
  std::uint16_t keyCode = 0;
  bool keyDown = true;
  std::uint64_t flags = 0;
  bool operator==(const KeyboardEvent&) const = default;
};

class KeyboardEvents {
 public:
  virtual ~KeyboardEvents() = default;
  // Creates the event from a source with the given state (kEventSourceStateHID), sets its
  // flags and posts it at the tap. False when no event source could be made.
  virtual bool post(std::int32_t sourceStateID, const KeyboardEvent& event,
                    std::uint32_t tapLocation) = 0;
};

}  // namespace velmora::platform
