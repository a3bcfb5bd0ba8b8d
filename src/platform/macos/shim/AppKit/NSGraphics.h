#pragma once
// NSGraphics: the system beep and the kinds of focus ring.

#import <Foundation/Foundation.h>

typedef NS_ENUM(NSUInteger, NSFocusRingType) {
  NSFocusRingTypeDefault = 0,
  // Neither the view nor its cell draws a focus ring.
  NSFocusRingTypeNone = 1,
};

#if defined(__cplusplus)
extern "C" {
#endif

// Plays the user's alert sound.
void NSBeep(void);

#if defined(__cplusplus)
}
#endif
