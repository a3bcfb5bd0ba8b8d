#include "platform/macos/pointer_monitors.h"

#import <AppKit/AppKit.h>

#include <map>
#include <utility>

namespace velmora::macos {

// The seam's event types and masks are AppKit's own.
static_assert(platform::kNSEventTypeLeftMouseDown == NSEventTypeLeftMouseDown);
static_assert(platform::kNSEventTypeRightMouseDown == NSEventTypeRightMouseDown);
static_assert(platform::kNSEventTypeMouseMoved == NSEventTypeMouseMoved);
static_assert(platform::kNSEventTypeLeftMouseDragged == NSEventTypeLeftMouseDragged);
static_assert(platform::kNSEventMaskMouseMoved == NSEventMaskMouseMoved);
static_assert(platform::kNSEventMaskLeftMouseDragged == NSEventMaskLeftMouseDragged);
static_assert(platform::kNSEventMaskLeftMouseDown == NSEventMaskLeftMouseDown);
static_assert(platform::kNSEventMaskRightMouseDown == NSEventMaskRightMouseDown);

struct MacPointerMonitors::Impl {
  // The monitor objects AppKit handed out, each given back to removeMonitor: exactly once.
  std::map<platform::PointerMonitorID, id> monitors;
  platform::PointerMonitorID next = 1;

  platform::PointerMonitorID keep(id monitor) {
    if (!monitor) return 0;
    platform::PointerMonitorID monitorID = next++;
    monitors.emplace(monitorID, monitor);
    return monitorID;
  }
};

namespace {

// The location of the moment rather than the event's: a global event has no window, and
// mouseLocation is already in screen coordinates.
platform::PointerEvent pointerEvent(NSEvent* event) {
  NSPoint at = NSEvent.mouseLocation;
  return {static_cast<std::uint32_t>(event.type), ScreenPoint{at.x, at.y}};
}

}  // namespace

MacPointerMonitors::MacPointerMonitors() : impl_(std::make_unique<Impl>()) {}

MacPointerMonitors::~MacPointerMonitors() {
  for (const auto& [monitorID, monitor] : impl_->monitors) [NSEvent removeMonitor:monitor];
}

platform::PointerMonitorID MacPointerMonitors::addGlobalMonitor(
    std::uint64_t mask, std::function<void(const platform::PointerEvent&)> handler) {
  if (!handler) return 0;
  return impl_->keep([NSEvent addGlobalMonitorForEventsMatchingMask:static_cast<NSEventMask>(mask)
                                                            handler:^(NSEvent* event) {
                                                              handler(pointerEvent(event));
                                                            }]);
}

platform::PointerMonitorID MacPointerMonitors::addLocalMonitor(
    std::uint64_t mask, std::function<void(const platform::PointerEvent&)> handler) {
  if (!handler) return 0;
  return impl_->keep([NSEvent
      addLocalMonitorForEventsMatchingMask:static_cast<NSEventMask>(mask)
                                   handler:^NSEvent* _Nullable(NSEvent* event) {
                                     handler(pointerEvent(event));
                                     return event;  // the window has it unchanged
                                   }]);
}

void MacPointerMonitors::removeMonitor(platform::PointerMonitorID monitor) {
  auto it = impl_->monitors.find(monitor);
  if (it == impl_->monitors.end()) return;
  [NSEvent removeMonitor:it->second];
  impl_->monitors.erase(it);
}

ScreenPoint MacPointerMonitors::location() const {
  NSPoint at = NSEvent.mouseLocation;
  return {at.x, at.y};
}

}  // namespace velmora::macos
