#pragma once
// CFUUID.

#include "CoreFoundation/CFBase.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef const struct CF_BRIDGED_TYPE(id) __CFUUID* CFUUIDRef;

CFTypeID CFUUIDGetTypeID(void);
CFStringRef _Nullable CFUUIDCreateString(CFAllocatorRef _Nullable alloc,
                                         CFUUIDRef uuid) CF_RETURNS_RETAINED;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
