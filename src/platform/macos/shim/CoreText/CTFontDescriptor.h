#pragma once
// CTFontDescriptor: the attributes a font is chosen by.

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef const struct CF_BRIDGED_TYPE(NSFontDescriptor) __CTFontDescriptor* CTFontDescriptorRef;

// The key whose value is a dictionary of traits (kCTFontWeightTrait, …).
extern const CFStringRef kCTFontTraitsAttribute;

// The original's attributes with `attributes` laid over them.
CTFontDescriptorRef CTFontDescriptorCreateCopyWithAttributes(
    CTFontDescriptorRef original, CFDictionaryRef attributes) CF_RETURNS_RETAINED;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
