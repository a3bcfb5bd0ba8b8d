#pragma once
// AXUIElement and AXObserver: the process's accessibility grant, the elements of other
// applications with their attributes and actions, and observers of their notifications.

#include <CoreFoundation/CoreFoundation.h>
#include <sys/types.h>

#include "HIServices/AXError.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef const struct CF_BRIDGED_TYPE(id) __AXUIElement* AXUIElementRef;
typedef struct CF_BRIDGED_TYPE(id) __AXObserver* AXObserverRef;

// The grant. With kAXTrustedCheckOptionPrompt true in `options` (NULL allowed) the system asks
// the user for it when the process is not trusted.
extern const CFStringRef kAXTrustedCheckOptionPrompt;
Boolean AXIsProcessTrusted(void);
Boolean AXIsProcessTrustedWithOptions(CFDictionaryRef _Nullable options);

CFTypeID AXUIElementGetTypeID(void);
// The element of the application with this pid; the caller owns it.
AXUIElementRef AXUIElementCreateApplication(pid_t pid) CF_RETURNS_RETAINED;
AXError AXUIElementSetMessagingTimeout(AXUIElementRef element, float timeoutInSeconds);
// On success `*value` is a new reference the caller releases.
AXError AXUIElementCopyAttributeValue(AXUIElementRef element, CFStringRef attribute,
                                      CFTypeRef _Nullable* _Nonnull value);

typedef CF_OPTIONS(UInt32, AXCopyMultipleAttributeOptions) {
  kAXCopyMultipleAttributeOptionStopOnError = 0x1,
};
// On success `*values` is a new array the caller releases: per attribute its value, or an
// AXValueRef of type kAXValueTypeAXError carrying that attribute's error.
AXError AXUIElementCopyMultipleAttributeValues(AXUIElementRef element, CFArrayRef attributes,
                                               AXCopyMultipleAttributeOptions options,
                                               CFArrayRef _Nullable* _Nonnull values);
AXError AXUIElementSetAttributeValue(AXUIElementRef element, CFStringRef attribute,
                                     CFTypeRef value);
AXError AXUIElementPerformAction(AXUIElementRef element, CFStringRef action);

// Called on the run loop the observer's source was added to; `refcon` is what
// AXObserverAddNotification was given for the registration.
typedef void (*AXObserverCallback)(AXObserverRef observer, AXUIElementRef element,
                                   CFStringRef notification, void* _Nullable refcon);
// On success `*outObserver` is a new observer the caller releases.
AXError AXObserverCreate(pid_t application, AXObserverCallback callback,
                         AXObserverRef _Nullable* _Nonnull outObserver);
AXError AXObserverAddNotification(AXObserverRef observer, AXUIElementRef element,
                                  CFStringRef notification, void* _Nullable refcon);
AXError AXObserverRemoveNotification(AXObserverRef observer, AXUIElementRef element,
                                     CFStringRef notification);
// Borrowed: the observer owns its source.
CFRunLoopSourceRef AXObserverGetRunLoopSource(AXObserverRef observer);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
