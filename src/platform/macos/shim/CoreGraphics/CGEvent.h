#pragma once
// CGEvent: making a keyboard event, setting its modifier flags and posting it.

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

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
