#pragma once
// The one registry of Velmora's global hotkeys. Each binding gets an id of its own (ids only
// grow within a run) and is registered with the system's hot-key service under the
// signature 'CRVN' and that id; a press comes back as the id and runs the binding's action.
// While a shortcut is being recorded the registry is suspended: every binding stays known
// but none is registered, so the combinations reach the recorder instead.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "core/line_log.h"
#include "platform/hot_key_registry.h"
#include "store/hotkey.h"

namespace velmora {

// A four-character code packed as the system packs it: the first character in the high byte.
constexpr std::uint32_t fourCharCode(const char (&code)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) << 24 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(code[3]));
}

class HotkeyCenter {
 public:
  static constexpr std::uint32_t kSignature = fourCharCode("CRVN");

  // Installs the press handler at once; `systemLog` hears registrations the system refuses.
  HotkeyCenter(platform::HotKeyRegistry& registry, LineLog& systemLog, const KeyNames& names);
  // Unregisters everything and detaches the handler, so no press reaches a dead registry.
  ~HotkeyCenter();
  HotkeyCenter(const HotkeyCenter&) = delete;
  HotkeyCenter& operator=(const HotkeyCenter&) = delete;

  // Adds a binding and, unless suspended, registers it with the system. Answers its id.
  std::uint32_t registerHotkey(const Hotkey& hotkey, std::function<void()> action);
  // Unregisters and forgets every binding.
  void removeAll();
  // Unregisters every binding but keeps them, until resume registers them again.
  void suspend();
  void resume();

  bool suspended() const { return suspended_; }
  std::size_t size() const { return entries_.size(); }
  // Whether the system accepted the binding and holds it now.
  bool isRegistered(std::uint32_t id) const;

 private:
  struct Entry {
    Hotkey hotkey;
    std::function<void()> action;
    std::optional<platform::HotKeyRef> reference;  // present while the system holds it
  };

  void registerWithSystem(std::uint32_t id, Entry& entry);
  void unregisterFromSystem(Entry& entry);
  void dispatch(platform::HotKeyID id);

  platform::HotKeyRegistry& registry_;
  LineLog& systemLog_;
  const KeyNames& names_;
  std::map<std::uint32_t, Entry> entries_;
  // 32 bits are far more registrations than any run makes; an id is never handed out twice.
  std::uint32_t nextID_ = 1;
  bool suspended_ = false;
};

}  // namespace velmora
