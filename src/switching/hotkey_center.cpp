#include "switching/hotkey_center.h"

#include <string>
#include <utility>

namespace velmora {

HotkeyCenter::HotkeyCenter(platform::HotKeyRegistry& registry, LineLog& systemLog,
                           const KeyNames& names)
    : registry_(registry), systemLog_(systemLog), names_(names) {
  registry_.installHotKeyHandler([this](platform::HotKeyID id) { dispatch(id); });
}

HotkeyCenter::~HotkeyCenter() {
  removeAll();
  registry_.installHotKeyHandler(nullptr);
}

std::uint32_t HotkeyCenter::registerHotkey(const Hotkey& hotkey, std::function<void()> action) {
  std::uint32_t id = nextID_++;
  Entry& entry = entries_[id] = Entry{hotkey, std::move(action), std::nullopt};
  if (!suspended_) registerWithSystem(id, entry);
  return id;
}

void HotkeyCenter::removeAll() {
  for (auto& [id, entry] : entries_) unregisterFromSystem(entry);
  entries_.clear();
}

void HotkeyCenter::suspend() {
  suspended_ = true;
  for (auto& [id, entry] : entries_) unregisterFromSystem(entry);
}

void HotkeyCenter::resume() {
  suspended_ = false;
  for (auto& [id, entry] : entries_) registerWithSystem(id, entry);
}

bool HotkeyCenter::isRegistered(std::uint32_t id) const {
  auto it = entries_.find(id);
  return it != entries_.end() && it->second.reference.has_value();
}

void HotkeyCenter::registerWithSystem(std::uint32_t id, Entry& entry) {
  if (entry.reference) return;
  platform::HotKeyRegistration result = registry_.registerHotKey(
      entry.hotkey.keyCode, entry.hotkey.modifiers, platform::HotKeyID{kSignature, id});
  if (result.status == platform::kHotKeyNoErr && result.ref) {
    entry.reference = result.ref;
    return;
  }
  // The binding stays known, so the next resume or rebind tries again.
  systemLog_.write("Velmora: could not register hotkey " + names_.display(entry.hotkey) +
                   " (status " + std::to_string(result.status) + ")");
}

void HotkeyCenter::unregisterFromSystem(Entry& entry) {
  if (!entry.reference) return;
  registry_.unregisterHotKey(*entry.reference);
  entry.reference.reset();
}

void HotkeyCenter::dispatch(platform::HotKeyID id) {
  if (id.signature != kSignature) return;
  auto it = entries_.find(id.id);
  if (it == entries_.end()) return;
  // The action may rebind, which empties entries_ under our feet: run a copy.
  std::function<void()> action = it->second.action;
  if (action) action();
}

}  // namespace velmora
