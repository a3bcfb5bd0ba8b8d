#pragma once
// Launch Services: registering a bundle's document and URL claims.

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

// Adds the bundle at inURL (a file URL) to the Launch Services database; with inUpdate, again
// even when it has not changed since it was last registered. noErr on success.
OSStatus LSRegisterURL(CFURLRef inURL, Boolean inUpdate);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
