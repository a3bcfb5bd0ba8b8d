#pragma once
// UnicodeUtilities: translating a virtual key code through a Unicode keyboard layout.

#include "MacTypes.h"

#if defined(__cplusplus)
extern "C" {
#endif

#pragma clang assume_nonnull begin

// The 'uchr' layout data (kTISPropertyUnicodeKeyLayoutData's bytes), read only through
// UCKeyTranslate here.
typedef struct UCKeyboardLayout UCKeyboardLayout;

enum { kUCKeyActionDisplay = 3 };  // what the key shows, without a key-down's side effects
enum { kUCKeyTranslateNoDeadKeysMask = 1 };

// Writes at most `maxStringLength` UTF-16 units to `unicodeString` and their number to
// `*actualStringLength`; `*deadKeyState` carries a pending dead key between calls (0 = none).
OSStatus UCKeyTranslate(const UCKeyboardLayout* keyLayoutPtr, UInt16 virtualKeyCode,
                        UInt16 keyAction, UInt32 modifierKeyState, UInt32 keyboardType,
                        OptionBits keyTranslateOptions, UInt32* deadKeyState,
                        UniCharCount maxStringLength, UniCharCount* actualStringLength,
                        UniChar* unicodeString);

#pragma clang assume_nonnull end

#if defined(__cplusplus)
}
#endif
