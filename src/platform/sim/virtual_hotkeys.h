#pragma once
// The virtual Mac's Carbon hot-key service: registrations by key code and modifier mask,
// combinations other applications already hold, and dispatch of a press to the one handler.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/hot_key_registry.h"

namespace velmora::sim {

class VirtualHotKeys final : public platform::HotKeyRegistry {
 public:
  struct Registered {
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;  // Carbon mask
    platform::HotKeyID id;
  };

  void installHotKeyHandler(std::function<void(platform::HotKeyID)> handler) override;
  platform::HotKeyRegistration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                              platform::HotKeyID id) override;
  std::int32_t unregisterHotKey(platform::HotKeyRef ref) override;

  // Another application holds the combination; registering it is refused from now on.
  void holdByAnotherApplication(std::uint32_t keyCode, std::uint32_t modifiers);
  // The other application lets the combination go (it quit, or its owner changed the
  // shortcut); registering it works again.
  void releaseByAnotherApplication(std::uint32_t keyCode, std::uint32_t modifiers);
  // A press of the combination: when a hot key is registered for it, the handler hears its
  // id and the press goes no further (answer true).
  bool dispatch(std::uint32_t keyCode, std::uint32_t modifiers);

  // What is registered now, in registration order.
  std::vector<Registered> registered() const;
  // How many registrations were ever made (refused ones not counted).
  int registrationCount() const { return registrations_; }
  bool handlerInstalled() const { return static_cast<bool>(handler_); }

 private:
  std::function<void(platform::HotKeyID)> handler_;
  std::map<platform::HotKeyRef, Registered> byRef_;  // refs grow, so this is also the order
  std::set<std::pair<std::uint32_t, std::uint32_t>> heldElsewhere_;
  platform::HotKeyRef nextRef_ = 1;
  int registrations_ = 0;
};

}  // namespace velmora::sim
