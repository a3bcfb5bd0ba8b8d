#pragma once
// NSEvent: an input event, its type and modifier flags, the masks that select types, and local
// monitors that see events before the application's windows do.

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

typedef NS_ENUM(NSUInteger, NSEventType) {
  NSEventTypeLeftMouseDown = 1,
  NSEventTypeLeftMouseUp = 2,
  NSEventTypeRightMouseDown = 3,
  NSEventTypeRightMouseUp = 4,
  NSEventTypeMouseMoved = 5,
  NSEventTypeLeftMouseDragged = 6,
  NSEventTypeKeyDown = 10,
  NSEventTypeKeyUp = 11,
  NSEventTypeFlagsChanged = 12,
};

// One bit per event type: 1 << the type's value.
typedef NS_OPTIONS(unsigned long long, NSEventMask) {
  NSEventMaskLeftMouseDown = 1ULL << NSEventTypeLeftMouseDown,
  NSEventMaskLeftMouseUp = 1ULL << NSEventTypeLeftMouseUp,
  NSEventMaskRightMouseDown = 1ULL << NSEventTypeRightMouseDown,
  NSEventMaskRightMouseUp = 1ULL << NSEventTypeRightMouseUp,
  NSEventMaskMouseMoved = 1ULL << NSEventTypeMouseMoved,
  NSEventMaskLeftMouseDragged = 1ULL << NSEventTypeLeftMouseDragged,
  NSEventMaskKeyDown = 1ULL << NSEventTypeKeyDown,
  NSEventMaskFlagsChanged = 1ULL << NSEventTypeFlagsChanged,
};

// The same bits as CGEventFlags.
typedef NS_OPTIONS(NSUInteger, NSEventModifierFlags) {
  NSEventModifierFlagShift = 1 << 17,
  NSEventModifierFlagControl = 1 << 18,
  NSEventModifierFlagOption = 1 << 19,
  NSEventModifierFlagCommand = 1 << 20,
};

@interface NSEvent : NSObject <NSCopying>
@property(readonly) NSEventType type;
@property(readonly) NSEventModifierFlags modifierFlags;
// Seconds since system startup when the event happened.
@property(readonly) NSTimeInterval timestamp;
// Mouse events: in the window's base coordinates (y up from its bottom-left corner).
@property(readonly) NSPoint locationInWindow;
// A scroll's vertical amount: points when the deltas are precise (a trackpad), else lines.
@property(readonly) CGFloat scrollingDeltaY;
@property(readonly) BOOL hasPreciseScrollingDeltas;
// Key events only (key down, key up, flags changed): AppKit raises for any other type.
@property(readonly) unsigned short keyCode;

// The handler runs on the main thread for each matching event before it is dispatched, and
// answers the event to dispatch or nil to drop it. The returned monitor object is handed to
// removeMonitor: exactly once.
+ (nullable id)addLocalMonitorForEventsMatchingMask:(NSEventMask)mask
                                            handler:(NSEvent* _Nullable (^)(NSEvent* event))block;
// Copies of the matching events the system posts to other applications, delivered on the
// main thread; the handler can only observe them. Handed to removeMonitor: exactly once.
+ (nullable id)addGlobalMonitorForEventsMatchingMask:(NSEventMask)mask
                                             handler:(void (^)(NSEvent* event))block;
+ (void)removeMonitor:(id)eventMonitor;
// The pointer's position in screen coordinates (y up from the main screen's bottom-left).
@property(class, readonly) NSPoint mouseLocation;
@end

NS_ASSUME_NONNULL_END
