#pragma once
// CarbonEvents: the application event target and system-wide hot keys.

#include <CoreFoundation/CoreFoundation.h>

#include "HIToolbox/CarbonEventsCore.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

enum { kEventClassKeyboard = 'keyb' };
enum { kEventHotKeyPressed = 5 };
enum { kEventParamDirectObject = '----' };
enum { typeEventHotKeyID = 'hkid' };

typedef struct OpaqueEventHotKeyRef* EventHotKeyRef;

// A hot key's identity as its handler reads it from the event's direct object.
struct EventHotKeyID {
  OSType signature;
  UInt32 id;
};
typedef struct EventHotKeyID EventHotKeyID;

EventTargetRef GetApplicationEventTarget(void);
// `inHotKeyModifiers` is a mask of cmdKey, shiftKey, optionKey and controlKey (Events.h).
OSStatus RegisterEventHotKey(UInt32 inHotKeyCode, UInt32 inHotKeyModifiers,
                             EventHotKeyID inHotKeyID, EventTargetRef inTarget,
                             OptionBits inOptions, EventHotKeyRef _Nullable* _Nonnull outRef);
OSStatus UnregisterEventHotKey(EventHotKeyRef inHotKey);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
