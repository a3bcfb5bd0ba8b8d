#pragma once
// CFDictionary, with the standard callbacks that retain keys and values.

#include "CoreFoundation/CFBase.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef const struct CF_BRIDGED_TYPE(NSDictionary) __CFDictionary* CFDictionaryRef;
typedef struct CF_BRIDGED_MUTABLE_TYPE(NSMutableDictionary) __CFDictionary* CFMutableDictionaryRef;

typedef struct {
  CFIndex version;
  const void* _Nullable retain;
  const void* _Nullable release;
  const void* _Nullable copyDescription;
  const void* _Nullable equal;
  const void* _Nullable hash;
} CFDictionaryKeyCallBacks;
typedef struct {
  CFIndex version;
  const void* _Nullable retain;
  const void* _Nullable release;
  const void* _Nullable copyDescription;
  const void* _Nullable equal;
} CFDictionaryValueCallBacks;
extern const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks;
extern const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks;

CFTypeID CFDictionaryGetTypeID(void);
CFDictionaryRef _Nullable CFDictionaryCreate(
    CFAllocatorRef _Nullable allocator, const void* _Nullable* _Nullable keys,
    const void* _Nullable* _Nullable values, CFIndex numValues,
    const CFDictionaryKeyCallBacks* _Nullable keyCallBacks,
    const CFDictionaryValueCallBacks* _Nullable valueCallBacks) CF_RETURNS_RETAINED;
CFMutableDictionaryRef _Nullable CFDictionaryCreateMutable(
    CFAllocatorRef _Nullable allocator, CFIndex capacity,
    const CFDictionaryKeyCallBacks* _Nullable keyCallBacks,
    const CFDictionaryValueCallBacks* _Nullable valueCallBacks) CF_RETURNS_RETAINED;
CFIndex CFDictionaryGetCount(CFDictionaryRef theDict);
// Borrowed: valid while the dictionary is.
const void* _Nullable CFDictionaryGetValue(CFDictionaryRef theDict, const void* key);
// Fills `keys` and `values` (each CFDictionaryGetCount long, or NULL) with borrowed pointers.
void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void* _Nullable* _Nullable keys,
                                  const void* _Nullable* _Nullable values);
void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void* key,
                          const void* _Nullable value);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
