#pragma once
// NSEvent: the events AppKit hands the application, and local monitors that see them before
// the application's windows do.

#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

typedef NS_ENUM(NSUInteger, NSEventType) {
  NSEventTypeKeyDown = 10,
  NSEventTypeKeyUp = 11,
  NSEventTypeFlagsChanged = 12,
};

// One bit per event type: 1 << NSEventType.
typedef NS_OPTIONS(unsigned long long, NSEventMask) {
  NSEventMaskKeyDown = 1ULL << NSEventTypeKeyDown,
  NSEventMaskFlagsChanged = 1ULL << NSEventTypeFlagsChanged,
};

typedef NS_OPTIONS(NSUInteger, NSEventModifierFlags) {
  NSEventModifierFlagShift = 1 << 17,
  NSEventModifierFlagControl = 1 << 18,
  NSEventModifierFlagOption = 1 << 19,
  NSEventModifierFlagCommand = 1 << 20,
};

@interface NSEvent : NSObject <NSCopying>
@property(readonly) NSEventType type;
@property(readonly) NSEventModifierFlags modifierFlags;
// Key events only (key down, key up, flags changed): AppKit raises for any other type.
@property(readonly) unsigned short keyCode;

// The handler runs on the main thread for each matching event before it is dispatched, and
// answers the event to dispatch or nil to drop it. The returned monitor object is handed to
// removeMonitor: exactly once.
+ (nullable id)addLocalMonitorForEventsMatchingMask:(NSEventMask)mask
                                            handler:(NSEvent* _Nullable (^)(NSEvent* event))block;
+ (void)removeMonitor:(id)eventMonitor;
@end

NS_ASSUME_NONNULL_END
