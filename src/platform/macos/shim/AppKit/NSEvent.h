#pragma once
// NSEvent: an input event, its type and modifier flags, and the masks that select types.

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

typedef NS_ENUM(NSUInteger, NSEventType) {
  NSEventTypeLeftMouseUp = 2,
  NSEventTypeRightMouseUp = 4,
};

// One bit per event type: 1 << the type's value.
typedef NS_OPTIONS(unsigned long long, NSEventMask) {
  NSEventMaskLeftMouseUp = 1ULL << NSEventTypeLeftMouseUp,
  NSEventMaskRightMouseUp = 1ULL << NSEventTypeRightMouseUp,
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
@end

NS_ASSUME_NONNULL_END
