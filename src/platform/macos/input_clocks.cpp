#include "platform/macos/input_clocks.h"

#include <CoreGraphics/CoreGraphics.h>

namespace velmora::macos {

// The seam's numbers are Quartz's own, so they pass through unconverted.
static_assert(platform::kEventSourceStateCombined == kCGEventSourceStateCombinedSessionState);
static_assert(platform::kEventSourceStateHID == kCGEventSourceStateHIDSystemState);
static_assert(platform::kEventLeftMouseDown == kCGEventLeftMouseDown);
static_assert(platform::kEventLeftMouseUp == kCGEventLeftMouseUp);
static_assert(platform::kEventRightMouseDown == kCGEventRightMouseDown);
static_assert(platform::kEventMouseMoved == kCGEventMouseMoved);
static_assert(platform::kEventKeyDown == kCGEventKeyDown);
static_assert(platform::kEventKeyUp == kCGEventKeyUp);
static_assert(platform::kEventFlagsChanged == kCGEventFlagsChanged);
static_assert(platform::kEventScrollWheel == kCGEventScrollWheel);

double MacInputClocks::secondsSinceLastEventType(std::int32_t stateID, std::uint32_t eventType) {
  return CGEventSourceSecondsSinceLastEventType(stateID, eventType);
}

}  // namespace velmora::macos
