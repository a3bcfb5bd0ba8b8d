#include "platform/macos/local_event_monitors.h"

#import <AppKit/AppKit.h>

#include <map>
#include <utility>

#include "platform/keyboard_events.h"

namespace velmora::macos {

// The seam's event types, masks and modifier bits are AppKit's own.
static_assert(platform::kNSEventTypeKeyDown == NSEventTypeKeyDown);
static_assert(platform::kNSEventTypeFlagsChanged == NSEventTypeFlagsChanged);
static_assert(platform::kNSEventMaskKeyDown == NSEventMaskKeyDown);
static_assert(platform::kNSEventMaskFlagsChanged == NSEventMaskFlagsChanged);
static_assert(platform::kEventFlagShift == NSEventModifierFlagShift);
static_assert(platform::kEventFlagControl == NSEventModifierFlagControl);
static_assert(platform::kEventFlagOption == NSEventModifierFlagOption);
static_assert(platform::kEventFlagCommand == NSEventModifierFlagCommand);

struct MacLocalEventMonitors::Impl {
  // The monitor objects AppKit handed out, each given back to removeMonitor: exactly once.
  std::map<platform::LocalMonitorID, id> monitors;
  platform::LocalMonitorID next = 1;
};

namespace {

platform::LocalKeyEvent keyEvent(NSEvent* event) {
  platform::LocalKeyEvent out;
  out.type = static_cast<std::uint32_t>(event.type);
  // AppKit raises when asked for the key code of any other kind of event.
  switch (event.type) {
    case NSEventTypeKeyDown:
    case NSEventTypeKeyUp:
    case NSEventTypeFlagsChanged:
      out.keyCode = event.keyCode;
      break;
    default:
      break;
  }
  out.modifierFlags = event.modifierFlags;
  return out;
}

}  // namespace

MacLocalEventMonitors::MacLocalEventMonitors() : impl_(std::make_unique<Impl>()) {}

MacLocalEventMonitors::~MacLocalEventMonitors() {
  for (const auto& [monitorID, monitor] : impl_->monitors) [NSEvent removeMonitor:monitor];
}

platform::LocalMonitorID MacLocalEventMonitors::addLocalMonitor(
    std::uint64_t mask, std::function<bool(const platform::LocalKeyEvent&)> handler) {
  if (!handler) return 0;
  id monitor =
      [NSEvent addLocalMonitorForEventsMatchingMask:static_cast<NSEventMask>(mask)
                                            handler:^NSEvent* _Nullable(NSEvent* event) {
                                              // nil consumes the event; the event itself lets the
                                              // window have it.
                                              return handler(keyEvent(event)) ? nil : event;
                                            }];
  if (!monitor) return 0;
  platform::LocalMonitorID monitorID = impl_->next++;
  impl_->monitors.emplace(monitorID, monitor);
  return monitorID;
}

void MacLocalEventMonitors::removeMonitor(platform::LocalMonitorID monitor) {
  auto it = impl_->monitors.find(monitor);
  if (it == impl_->monitors.end()) return;
  [NSEvent removeMonitor:it->second];
  impl_->monitors.erase(it);
}

void MacLocalEventMonitors::beep() {
  NSBeep();
}

}  // namespace velmora::macos
