#pragma once
// CTRun: a stretch of a line's glyphs sharing one set of attributes.

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef const struct CF_BRIDGED_TYPE(id) __CTRun* CTRunRef;

CFTypeID CTRunGetTypeID(void);
// Borrowed: the attributes of the text the run was made from.
CFDictionaryRef CTRunGetAttributes(CTRunRef run);
// The range of the characters (UTF-16 units) of the original string the run came from.
CFRange CTRunGetStringRange(CTRunRef run);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
