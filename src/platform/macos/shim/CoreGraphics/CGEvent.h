#pragma once
// CGEvent: making a keyboard event, setting its modifier flags and posting it.

#include "CoreFoundation/CFMachPort.h"
#include "CoreGraphics/CGEventTypes.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

// NULL when the event could not be made; the caller releases it.
CGEventRef _Nullable CGEventCreateKeyboardEvent(CGEventSourceRef _Nullable source,
                                                CGKeyCode virtualKey,
                                                bool keyDown) CF_RETURNS_RETAINED;
void CGEventSetFlags(CGEventRef _Nullable event, CGEventFlags flags);
// The event goes in at the tap; the caller still owns (and releases) it.
void CGEventPost(CGEventTapLocation tap, CGEventRef _Nullable event);
// The event's location in global display coordinates (top left of the main display, y down).
CGPoint CGEventGetLocation(CGEventRef _Nullable event);

// NULL when the tap cannot be made; the caller releases the port.
CFMachPortRef _Nullable CGEventTapCreate(CGEventTapLocation tap, CGEventTapPlacement place,
                                         CGEventTapOptions options, CGEventMask eventsOfInterest,
                                         CGEventTapCallBack callback,
                                         void* _Nullable userInfo) CF_RETURNS_RETAINED;
void CGEventTapEnable(CFMachPortRef tap, bool enable);
bool CGEventTapIsEnabled(CFMachPortRef tap);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
