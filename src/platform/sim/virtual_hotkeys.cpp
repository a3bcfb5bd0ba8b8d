#include "platform/sim/virtual_hotkeys.h"

namespace velmora::sim {

void VirtualHotKeys::installHotKeyHandler(std::function<void(platform::HotKeyID)> handler) {
  installFor(self_, std::move(handler));
}

platform::HotKeyRegistration VirtualHotKeys::registerHotKey(std::uint32_t keyCode,
                                                            std::uint32_t modifiers,
                                                            platform::HotKeyID id) {
  return registerFor(self_, keyCode, modifiers, id);
}

std::int32_t VirtualHotKeys::unregisterHotKey(platform::HotKeyRef ref) {
  return unregisterFor(self_, ref);
}

platform::HotKeyRegistry& VirtualHotKeys::forProcess(std::int32_t pid) {
  if (pid == self_) return *this;
  auto& view = views_[pid];
  if (!view) view = std::make_unique<ProcessView>(*this, pid);
  return *view;
}

void VirtualHotKeys::installFor(std::int32_t process,
                                std::function<void(platform::HotKeyID)> handler) {
  if (handler) {
    handlers_[process] = std::move(handler);
  } else {
    handlers_.erase(process);
  }
}

platform::HotKeyRegistration VirtualHotKeys::registerFor(std::int32_t process,
                                                         std::uint32_t keyCode,
                                                         std::uint32_t modifiers,
                                                         platform::HotKeyID id) {
  if (heldElsewhere_.count({keyCode, modifiers})) {
    return {platform::kEventHotKeyExistsErr, std::nullopt};
  }
  // One process may register the same combination only once, as with Carbon.
  for (const auto& [ref, r] : byRef_) {
    if (r.process == process && r.keyCode == keyCode && r.modifiers == modifiers) {
      return {platform::kEventHotKeyExistsErr, std::nullopt};
    }
  }
  platform::HotKeyRef ref = nextRef_++;
  byRef_[ref] = Registered{keyCode, modifiers, id, process};
  ++registrations_;
  return {platform::kHotKeyNoErr, ref};
}

std::int32_t VirtualHotKeys::unregisterFor(std::int32_t process, platform::HotKeyRef ref) {
  auto it = byRef_.find(ref);
  if (it == byRef_.end() || it->second.process != process) {
    return platform::kEventHotKeyInvalidErr;
  }
  byRef_.erase(it);
  return platform::kHotKeyNoErr;
}

void VirtualHotKeys::holdByAnotherApplication(std::uint32_t keyCode, std::uint32_t modifiers) {
  heldElsewhere_.insert({keyCode, modifiers});
}

void VirtualHotKeys::releaseByAnotherApplication(std::uint32_t keyCode, std::uint32_t modifiers) {
  heldElsewhere_.erase({keyCode, modifiers});
}

bool VirtualHotKeys::dispatch(std::uint32_t keyCode, std::uint32_t modifiers) {
  for (auto it = byRef_.rbegin(); it != byRef_.rend(); ++it) {
    const Registered& r = it->second;
    if (r.keyCode == keyCode && r.modifiers == modifiers) {
      if (auto handler = handlers_.find(r.process); handler != handlers_.end()) {
        auto heard = handler->second;  // the handler may replace itself
        heard(r.id);
      }
      return true;
    }
  }
  return false;
}

std::vector<VirtualHotKeys::Registered> VirtualHotKeys::registered() const {
  std::vector<Registered> out;
  for (const auto& [ref, r] : byRef_) out.push_back(r);
  return out;
}

}  // namespace velmora::sim
