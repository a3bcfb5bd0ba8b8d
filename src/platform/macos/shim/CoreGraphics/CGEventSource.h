#pragma once
// CGEventSource: making an event source, and the time since the user's last input.

#include "CoreGraphics/CGEventTypes.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

// NULL when the source could not be made; the caller releases it.
CGEventSourceRef _Nullable CGEventSourceCreate(CGEventSourceStateID stateID) CF_RETURNS_RETAINED;
// Seconds since the last event of the type in that source state.
CFTimeInterval CGEventSourceSecondsSinceLastEventType(CGEventSourceStateID stateID,
                                                      CGEventType eventType);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
