#pragma once
// CFMachPort: the port an event tap is, its run-loop source and its end.

#include "CoreFoundation/CFBase.h"
#include "CoreFoundation/CFRunLoop.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef struct CF_BRIDGED_MUTABLE_TYPE(id) __CFMachPort* CFMachPortRef;

CFTypeID CFMachPortGetTypeID(void);
// The caller owns the source.
CFRunLoopSourceRef _Nullable CFMachPortCreateRunLoopSource(CFAllocatorRef _Nullable allocator,
                                                           CFMachPortRef port,
                                                           CFIndex order) CF_RETURNS_RETAINED;
void CFMachPortInvalidate(CFMachPortRef port);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
