#pragma once
// Events (the Event Manager): the modifier-key masks hot keys take, and the keyboard type
// key translation needs.

#include "MacTypes.h"

#if defined(__cplusplus)
extern "C" {
#endif

enum {
  cmdKey = 1 << 8,
  shiftKey = 1 << 9,
  optionKey = 1 << 11,
  controlKey = 1 << 12,
};

// The type of the keyboard last used, as UCKeyTranslate's `keyboardType` wants it.
UInt8 LMGetKbdType(void);

#if defined(__cplusplus)
}
#endif
