#pragma once
// CFArray, with the standard callbacks that retain what goes in.

#include "CoreFoundation/CFBase.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef const struct CF_BRIDGED_TYPE(NSArray) __CFArray* CFArrayRef;
typedef struct CF_BRIDGED_MUTABLE_TYPE(NSMutableArray) __CFArray* CFMutableArrayRef;

typedef struct {
  CFIndex version;
  const void* _Nullable retain;
  const void* _Nullable release;
  const void* _Nullable copyDescription;
  const void* _Nullable equal;
} CFArrayCallBacks;
extern const CFArrayCallBacks kCFTypeArrayCallBacks;

CFTypeID CFArrayGetTypeID(void);
CFArrayRef _Nullable CFArrayCreate(CFAllocatorRef _Nullable allocator,
                                   const void* _Nullable* _Nullable values, CFIndex numValues,
                                   const CFArrayCallBacks* _Nullable callBacks) CF_RETURNS_RETAINED;
CFMutableArrayRef _Nullable CFArrayCreateMutable(
    CFAllocatorRef _Nullable allocator, CFIndex capacity,
    const CFArrayCallBacks* _Nullable callBacks) CF_RETURNS_RETAINED;
CFIndex CFArrayGetCount(CFArrayRef theArray);
// Borrowed: valid while the array is.
const void* _Nullable CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx);
void CFArrayAppendValue(CFMutableArrayRef theArray, const void* _Nullable value);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
