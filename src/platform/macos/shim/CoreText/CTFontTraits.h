#pragma once
// CTFontTraits: the keys of a font's traits dictionary.

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

// A CFNumber from -1.0 to 1.0, 0 being regular; the same scale as NSFontWeight.
extern const CFStringRef kCTFontWeightTrait;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
