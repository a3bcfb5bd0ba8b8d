#pragma once
// Key events delivered to Velmora's own windows, seen before the window handles them
// (NSEvent addLocalMonitorForEventsMatchingMask:handler: / removeMonitor:), and the system
// beep. The shortcut recorder listens here.
#include <cstdint>
#include <functional>

namespace velmora::platform {

// NSEvent types and the matching mask bits (1 << type).
inline constexpr std::uint32_t kNSEventTypeKeyDown = 10;
inline constexpr std::uint32_t kNSEventTypeFlagsChanged = 12;
inline constexpr std::uint64_t kNSEventMaskKeyDown = 1ULL << kNSEventTypeKeyDown;
inline constexpr std::uint64_t kNSEventMaskFlagsChanged = 1ULL << kNSEventTypeFlagsChanged;

struct LocalKeyEvent {
  std::uint32_t type = kNSEventTypeKeyDown;
  std::uint16_t keyCode = 0;
  std::uint64_t modifierFlags = 0;  // NSEventModifierFlags (same bits as CGEventFlags)
};

using LocalMonitorID = std::uint64_t;

class LocalEventMonitors {
 public:
  virtual ~LocalEventMonitors() = default;
  // The handler answers true to consume the event (the monitor returned nil), false to let
  // it through. Monitors run in the order they were added.
  virtual LocalMonitorID addLocalMonitor(std::uint64_t mask,
                                         std::function<bool(const LocalKeyEvent&)> handler) = 0;
  virtual void removeMonitor(LocalMonitorID monitor) = 0;
  // NSBeep.
  virtual void beep() = 0;
};

}  // namespace velmora::platform
