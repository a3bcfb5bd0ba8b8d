#include "platform/macos/keyboard_events.h"

#include <CoreGraphics/CoreGraphics.h>

#include "platform/macos/cf_ptr.h"

namespace velmora::macos {

// The seam's flags and tap are Quartz's own numbers, so they pass through unconverted.
static_assert(platform::kEventFlagShift == kCGEventFlagMaskShift);
static_assert(platform::kEventFlagControl == kCGEventFlagMaskControl);
static_assert(platform::kEventFlagOption == kCGEventFlagMaskAlternate);
static_assert(platform::kEventFlagCommand == kCGEventFlagMaskCommand);
static_assert(platform::kEventFlagNumericPad == kCGEventFlagMaskNumericPad);
static_assert(platform::kEventFlagFunction == kCGEventFlagMaskSecondaryFn);
static_assert(platform::kHIDEventTap == kCGHIDEventTap);

bool MacKeyboardEvents::post(std::int32_t sourceStateID, const platform::KeyboardEvent& event,
                             std::uint32_t tapLocation) {
  auto source = CFPtr<CGEventSourceRef>::adopt(CGEventSourceCreate(sourceStateID));
  if (!source) return false;
  auto key = CFPtr<CGEventRef>::adopt(
      CGEventCreateKeyboardEvent(source.get(), event.keyCode, event.keyDown));
  if (!key) return false;
  // The flags replace those the event took from the source state, so it carries exactly
  // the shortcut's modifiers.
  CGEventSetFlags(key.get(), event.flags);
  CGEventPost(tapLocation, key.get());
  return true;
}

}  // namespace velmora::macos
