#include "platform/macos/keyboard_layout.h"

#include <Carbon/Carbon.h>

#include <iterator>

#include "platform/macos/cf_ptr.h"
#include "platform/macos/cf_value.h"

namespace velmora::macos {

std::optional<std::string> MacKeyboardLayout::translate(std::uint32_t keyCode) {
  // A key code wider than a key event's 16 bits names no key; truncated it would name another.
  if (keyCode > 0xFFFF) return std::nullopt;
  auto source =
      CFPtr<TISInputSourceRef>::adopt(TISCopyCurrentASCIICapableKeyboardLayoutInputSource());
  if (!source) return std::nullopt;
  // Borrowed from the input source, which stays alive below.
  auto data = cfCast<CFDataRef>(
      TISGetInputSourceProperty(source.get(), kTISPropertyUnicodeKeyLayoutData), CFDataGetTypeID());
  const UInt8* bytes = data ? CFDataGetBytePtr(data) : nullptr;
  if (!bytes) return std::nullopt;

  UInt32 deadKeyState = 0;
  UniChar chars[8];
  UniCharCount length = 0;
  OSStatus status =
      UCKeyTranslate(reinterpret_cast<const UCKeyboardLayout*>(bytes), static_cast<UInt16>(keyCode),
                     kUCKeyActionDisplay, 0, LMGetKbdType(), kUCKeyTranslateNoDeadKeysMask,
                     &deadKeyState, std::size(chars), &length, chars);
  if (status != noErr || length == 0 || length > std::size(chars)) return std::nullopt;
  auto text = CFPtr<CFStringRef>::adopt(
      CFStringCreateWithCharacters(kCFAllocatorDefault, chars, static_cast<CFIndex>(length)));
  std::optional<std::string> typed = stdString(text.get());
  if (!typed || typed->empty()) return std::nullopt;
  return typed;
}

}  // namespace velmora::macos
