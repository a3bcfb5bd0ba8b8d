#pragma once
// ColorSyncDevice: the stable identifier (UUID) of a display, which outlives its Quartz
// display number across restarts and re-plugging.

#include "CoreFoundation/CFBase.h"
#include "CoreFoundation/CFUUID.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

// NULL for a display number that names no display (one unplugged since it was read); the
// caller releases the UUID.
CFUUIDRef _Nullable CGDisplayCreateUUIDFromDisplayID(uint32_t displayID) CF_RETURNS_RETAINED;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
