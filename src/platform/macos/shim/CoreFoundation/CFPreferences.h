#pragma once
// CFPreferences: the user's defaults, domain by domain.

#include "CoreFoundation/CFBase.h"
#include "CoreFoundation/CFDictionary.h"
#include "CoreFoundation/CFPropertyList.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

extern const CFStringRef kCFPreferencesCurrentUser;
extern const CFStringRef kCFPreferencesAnyHost;
extern const CFStringRef kCFPreferencesCurrentHost;

CFPropertyListRef _Nullable CFPreferencesCopyAppValue(CFStringRef key, CFStringRef applicationID)
    CF_RETURNS_RETAINED;
// A NULL value removes the key.
void CFPreferencesSetAppValue(CFStringRef key, CFPropertyListRef _Nullable value,
                              CFStringRef applicationID);
// Writes the domain's pending changes to disk; false when they could not be written.
Boolean CFPreferencesAppSynchronize(CFStringRef applicationID);
CFArrayRef _Nullable CFPreferencesCopyKeyList(CFStringRef applicationID, CFStringRef userName,
                                              CFStringRef hostName) CF_RETURNS_RETAINED;
CFDictionaryRef _Nullable CFPreferencesCopyMultiple(CFArrayRef _Nullable keysToFetch,
                                                    CFStringRef applicationID, CFStringRef userName,
                                                    CFStringRef hostName) CF_RETURNS_RETAINED;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
