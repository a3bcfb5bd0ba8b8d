#pragma once
// CFAttributedString: text with attributes (font, colour) over ranges of it.

#include "CoreFoundation/CFBase.h"
#include "CoreFoundation/CFDictionary.h"
#include "CoreFoundation/CFString.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef const struct CF_BRIDGED_TYPE(NSAttributedString)
    __CFAttributedString* CFAttributedStringRef;

// The whole string carries `attributes`; NULL when it cannot be made.
CFAttributedStringRef _Nullable CFAttributedStringCreate(
    CFAllocatorRef _Nullable alloc, CFStringRef str,
    CFDictionaryRef _Nullable attributes) CF_RETURNS_RETAINED;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
