#pragma once
// The current ASCII-capable keyboard layout (TISCopyCurrentASCIICapableKeyboardLayoutInputSource
// + UCKeyTranslate), used only to name keys that have no fixed name.

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::platform {

class KeyboardLayout {
 public:
  virtual ~KeyboardLayout() = default;
  // UCKeyTranslate with the "display" action, no modifiers and a fresh dead-key state: the
  // text the key types (UTF-8), or none when the layout has nothing for it.
  virtual std::optional<std::string> translate(std::uint32_t keyCode) = 0;
};

}  // namespace velmora::platform
