#include "platform/macos/hot_keys.h"

#include <string>
#include <utility>

#include "platform/macos/system_log.h"

namespace velmora::macos {

// Stored shortcuts carry Carbon's modifier masks and the registry relays Carbon's statuses,
// both unchanged.
static_assert(platform::kCmdKey == cmdKey);
static_assert(platform::kShiftKey == shiftKey);
static_assert(platform::kOptionKey == optionKey);
static_assert(platform::kControlKey == controlKey);
static_assert(platform::kHotKeyNoErr == noErr);
static_assert(platform::kEventHotKeyExistsErr == eventHotKeyExistsErr);
static_assert(platform::kEventHotKeyInvalidErr == eventHotKeyInvalidErr);

MacHotKeyRegistry::~MacHotKeyRegistry() {
  removeHandler();
  if (upp_) DisposeEventHandlerUPP(upp_);
}

void MacHotKeyRegistry::removeHandler() {
  if (installed_) RemoveEventHandler(installed_);
  installed_ = nullptr;
}

void MacHotKeyRegistry::installHotKeyHandler(std::function<void(platform::HotKeyID)> handler) {
  // One handler hears every press: a second install replaces the first.
  removeHandler();
  handler_ = std::move(handler);
  if (!handler_) return;
  if (!upp_) upp_ = NewEventHandlerUPP(&MacHotKeyRegistry::pressed);
  const EventTypeSpec hotKeyPressed{kEventClassKeyboard, kEventHotKeyPressed};
  OSStatus status =
      InstallEventHandler(GetApplicationEventTarget(), upp_, 1, &hotKeyPressed, this, &installed_);
  if (status != noErr) {
    installed_ = nullptr;
    logToSystem("the hot-key handler could not be installed (OSStatus " + std::to_string(status) +
                "); shortcuts will not switch desktops");
  }
}

OSStatus MacHotKeyRegistry::pressed(EventHandlerCallRef, EventRef event, void* registry) {
  EventHotKeyID pressedID{};
  OSStatus status = GetEventParameter(event, kEventParamDirectObject, typeEventHotKeyID, nullptr,
                                      sizeof pressedID, nullptr, &pressedID);
  if (status != noErr || !registry) return eventNotHandledErr;
  // The handler may replace itself, so it runs from a copy.
  auto handler = static_cast<MacHotKeyRegistry*>(registry)->handler_;
  if (!handler) return eventNotHandledErr;
  handler(platform::HotKeyID{pressedID.signature, pressedID.id});
  return noErr;
}

platform::HotKeyRegistration MacHotKeyRegistry::registerHotKey(std::uint32_t keyCode,
                                                               std::uint32_t modifiers,
                                                               platform::HotKeyID id) {
  EventHotKeyRef ref = nullptr;
  OSStatus status = RegisterEventHotKey(keyCode, modifiers, EventHotKeyID{id.signature, id.id},
                                        GetApplicationEventTarget(), 0, &ref);
  if (status != noErr) return {status, std::nullopt};
  if (!ref) return {platform::kEventHotKeyInvalidErr, std::nullopt};
  auto handed = static_cast<platform::HotKeyRef>(reinterpret_cast<std::uintptr_t>(ref));
  live_.insert(handed);
  return {platform::kHotKeyNoErr, handed};
}

std::int32_t MacHotKeyRegistry::unregisterHotKey(platform::HotKeyRef ref) {
  // A ref already given back (or never handed out) points at nothing Carbon still knows.
  if (!live_.contains(ref)) return platform::kEventHotKeyInvalidErr;
  OSStatus status =
      UnregisterEventHotKey(reinterpret_cast<EventHotKeyRef>(static_cast<std::uintptr_t>(ref)));
  if (status == noErr) live_.erase(ref);
  return status;
}

}  // namespace velmora::macos
