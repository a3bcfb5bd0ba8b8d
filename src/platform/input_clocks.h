#pragma once
// CGEventSourceSecondsSinceLastEventType: how long ago the user last produced an event of a
// type. Idle detection for time tracking and the Dock-badge poll is built on it.

#include <cstdint>

namespace velmora::platform {

inline constexpr std::int32_t kEventSourceStateCombined = 0;
inline constexpr std::int32_t kEventSourceStateHID = 1;

// Quartz event types.
inline constexpr std::uint32_t kEventLeftMouseDown = 1;
inline constexpr std::uint32_t kEventLeftMouseUp = 2;
inline constexpr std::uint32_t kEventRightMouseDown = 3;
inline constexpr std::uint32_t kEventMouseMoved = 5;
inline constexpr std::uint32_t kEventKeyDown = 10;
inline constexpr std::uint32_t kEventKeyUp = 11;
inline constexpr std::uint32_t kEventFlagsChanged = 12;
inline constexpr std::uint32_t kEventScrollWheel = 22;

class InputClocks {
 public:
  virtual ~InputClocks() = default;
  virtual double secondsSinceLastEventType(std::int32_t stateID, std::uint32_t eventType) = 0;
};

}  // namespace velmora::platform
