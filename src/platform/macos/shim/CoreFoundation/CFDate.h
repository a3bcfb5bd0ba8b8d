#pragma once
// CFDate and the absolute time (seconds since 2001-01-01 00:00:00 UTC).

#include "CoreFoundation/CFBase.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef const struct CF_BRIDGED_TYPE(NSDate) __CFDate* CFDateRef;

extern const CFTimeInterval kCFAbsoluteTimeIntervalSince1970;
CFAbsoluteTime CFAbsoluteTimeGetCurrent(void);
CFTypeID CFDateGetTypeID(void);
CFDateRef CFDateCreate(CFAllocatorRef _Nullable allocator, CFAbsoluteTime at) CF_RETURNS_RETAINED;
CFAbsoluteTime CFDateGetAbsoluteTime(CFDateRef theDate);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
