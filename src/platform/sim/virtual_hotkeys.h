#pragma once
// The virtual Mac's Carbon hot-key service: registrations by key code and modifier mask,
// combinations other applications already hold, and dispatch of a press to the one handler.
// Each process has its own handler and registrations, as with Carbon: a process may register
// a combination only once, and a combination another application holds exclusively is refused.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
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
    std::int32_t process = 0;  // the pid that registered it
  };

  // The seam calls of this object itself act for the process `self`.
  explicit VirtualHotKeys(std::int32_t self = 0) : self_(self) {}

  void installHotKeyHandler(std::function<void(platform::HotKeyID)> handler) override;
  platform::HotKeyRegistration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                              platform::HotKeyID id) override;
  std::int32_t unregisterHotKey(platform::HotKeyRef ref) override;

  // The service as process `pid` sees it: this object for its own process, else a registry
  // of that process's own (made on first use, kept as long as this object).
  platform::HotKeyRegistry& forProcess(std::int32_t pid);

  // Another application holds the combination; registering it is refused from now on.
  void holdByAnotherApplication(std::uint32_t keyCode, std::uint32_t modifiers);
  // The other application lets the combination go (it quit, or its owner changed the
  // shortcut); registering it works again.
  void releaseByAnotherApplication(std::uint32_t keyCode, std::uint32_t modifiers);
  // A press of the combination: when a hot key is registered for it, the handler of the
  // process that registered it last hears its id and the press goes no further (answer true).
  bool dispatch(std::uint32_t keyCode, std::uint32_t modifiers);

  // What is registered now, in registration order, by every process.
  std::vector<Registered> registered() const;
  // How many registrations were ever made (refused ones not counted).
  int registrationCount() const { return registrations_; }
  // Whether any process has a handler installed.
  bool handlerInstalled() const { return !handlers_.empty(); }

 private:
  // The seam as one process sees it.
  class ProcessView final : public platform::HotKeyRegistry {
   public:
    ProcessView(VirtualHotKeys& keys, std::int32_t process) : keys_(keys), process_(process) {}
    void installHotKeyHandler(std::function<void(platform::HotKeyID)> handler) override {
      keys_.installFor(process_, std::move(handler));
    }
    platform::HotKeyRegistration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                                platform::HotKeyID id) override {
      return keys_.registerFor(process_, keyCode, modifiers, id);
    }
    std::int32_t unregisterHotKey(platform::HotKeyRef ref) override {
      return keys_.unregisterFor(process_, ref);
    }

   private:
    VirtualHotKeys& keys_;
    std::int32_t process_;
  };

  void installFor(std::int32_t process, std::function<void(platform::HotKeyID)> handler);
  platform::HotKeyRegistration registerFor(std::int32_t process, std::uint32_t keyCode,
                                           std::uint32_t modifiers, platform::HotKeyID id);
  std::int32_t unregisterFor(std::int32_t process, platform::HotKeyRef ref);

  std::int32_t self_;
  std::map<std::int32_t, std::function<void(platform::HotKeyID)>> handlers_;
  std::map<platform::HotKeyRef, Registered> byRef_;  // refs grow, so this is also the order
  std::set<std::pair<std::uint32_t, std::uint32_t>> heldElsewhere_;
  std::map<std::int32_t, std::unique_ptr<ProcessView>> views_;
  platform::HotKeyRef nextRef_ = 1;
  int registrations_ = 0;
};

}  // namespace velmora::sim
