#include "platform/sim/virtual_hotkeys.h"

namespace velmora::sim {

void VirtualHotKeys::installHotKeyHandler(std::function<void(platform::HotKeyID)> handler) {
  handler_ = std::move(handler);
}

platform::HotKeyRegistration VirtualHotKeys::registerHotKey(std::uint32_t keyCode,
                                                            std::uint32_t modifiers,
                                                            platform::HotKeyID id) {
  if (heldElsewhere_.count({keyCode, modifiers})) {
    return {platform::kEventHotKeyExistsErr, std::nullopt};
  }
  // One process may register the same combination only once, as with Carbon.
  for (const auto& [ref, r] : byRef_) {
    if (r.keyCode == keyCode && r.modifiers == modifiers) {
      return {platform::kEventHotKeyExistsErr, std::nullopt};
    }
  }
  platform::HotKeyRef ref = nextRef_++;
  byRef_[ref] = Registered{keyCode, modifiers, id};
  ++registrations_;
  return {platform::kHotKeyNoErr, ref};
}

std::int32_t VirtualHotKeys::unregisterHotKey(platform::HotKeyRef ref) {
  return byRef_.erase(ref) ? platform::kHotKeyNoErr : platform::kEventHotKeyInvalidErr;
}

void VirtualHotKeys::holdByAnotherApplication(std::uint32_t keyCode, std::uint32_t modifiers) {
  heldElsewhere_.insert({keyCode, modifiers});
}

void VirtualHotKeys::releaseByAnotherApplication(std::uint32_t keyCode, std::uint32_t modifiers) {
  heldElsewhere_.erase({keyCode, modifiers});
}

bool VirtualHotKeys::dispatch(std::uint32_t keyCode, std::uint32_t modifiers) {
  for (const auto& [ref, r] : byRef_) {
    if (r.keyCode == keyCode && r.modifiers == modifiers) {
      if (handler_) handler_(r.id);
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
