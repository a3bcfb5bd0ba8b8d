#pragma once
// CTStringAttributes: the attribute keys of the text Core Text lays out.

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

// Value: a CTFont.
extern const CFStringRef kCTFontAttributeName;
// Value: a CGColor (black when absent).
extern const CFStringRef kCTForegroundColorAttributeName;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
