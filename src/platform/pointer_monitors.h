#pragma once
// Pointer events seen by monitors (NSEvent addGlobalMonitorForEventsMatchingMask:handler:,
// addLocalMonitorForEventsMatchingMask:handler:, removeMonitor:) and where the pointer is
// (NSEvent.mouseLocation). A global monitor hears events sent to other applications, a local
// one those sent to Velmora's own windows; neither can change or consume an event here.
#include <cstdint>
#include <functional>

#include "core/geometry.h"

namespace velmora::platform {

// NSEvent types and the matching mask bits (1 << type).
inline constexpr std::uint32_t kNSEventTypeLeftMouseDown = 1;
inline constexpr std::uint32_t kNSEventTypeRightMouseDown = 3;
inline constexpr std::uint32_t kNSEventTypeMouseMoved = 5;
inline constexpr std::uint32_t kNSEventTypeLeftMouseDragged = 6;
inline constexpr std::uint64_t kNSEventMaskLeftMouseDown = 1ULL << kNSEventTypeLeftMouseDown;
inline constexpr std::uint64_t kNSEventMaskRightMouseDown = 1ULL << kNSEventTypeRightMouseDown;
inline constexpr std::uint64_t kNSEventMaskMouseMoved = 1ULL << kNSEventTypeMouseMoved;
inline constexpr std::uint64_t kNSEventMaskLeftMouseDragged = 1ULL << kNSEventTypeLeftMouseDragged;

struct PointerEvent {
  std::uint32_t type = kNSEventTypeMouseMoved;
  ScreenPoint location;  // drawing coordinates, y up, as NSEvent.mouseLocation
};

using PointerMonitorID = std::uint64_t;  // 0: no monitor was installed

class PointerMonitors {
 public:
  virtual ~PointerMonitors() = default;
  virtual PointerMonitorID addGlobalMonitor(std::uint64_t mask,
                                            std::function<void(const PointerEvent&)> handler) = 0;
  // The event goes on to the window unchanged once the handler returns.
  virtual PointerMonitorID addLocalMonitor(std::uint64_t mask,
                                           std::function<void(const PointerEvent&)> handler) = 0;
  virtual void removeMonitor(PointerMonitorID monitor) = 0;
  // NSEvent.mouseLocation.
  virtual ScreenPoint location() const = 0;
};

}  // namespace velmora::platform
