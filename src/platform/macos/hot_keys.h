#pragma once
// System-wide hot keys through the Carbon hot-key service: one handler on the application
// event target hears every registered combination, whichever application is in front.

#include <Carbon/Carbon.h>

#include <cstdint>
#include <functional>
#include <set>

#include "platform/hot_key_registry.h"

namespace velmora::macos {

// Main thread only, where the application event target delivers its events.
class MacHotKeyRegistry final : public platform::HotKeyRegistry {
 public:
  MacHotKeyRegistry() = default;
  MacHotKeyRegistry(const MacHotKeyRegistry&) = delete;
  MacHotKeyRegistry& operator=(const MacHotKeyRegistry&) = delete;
  // Takes the handler off the event target, which holds a pointer to this object.
  ~MacHotKeyRegistry() override;

  void installHotKeyHandler(std::function<void(platform::HotKeyID)> handler) override;
  platform::HotKeyRegistration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                              platform::HotKeyID id) override;
  std::int32_t unregisterHotKey(platform::HotKeyRef ref) override;

 private:
  static OSStatus pressed(EventHandlerCallRef next, EventRef event, void* registry);
  void removeHandler();

  std::function<void(platform::HotKeyID)> handler_;
  EventHandlerUPP upp_ = nullptr;
  EventHandlerRef installed_ = nullptr;
  // The refs handed out and not yet unregistered: Carbon must never see one twice.
  std::set<platform::HotKeyRef> live_;
};

}  // namespace velmora::macos
