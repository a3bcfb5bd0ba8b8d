#pragma once
// NSWindow: the members the status item reads of its button's window, its notifications, and
// the modal responses of panels.

#import <Foundation/Foundation.h>

#include "AppKit/AppKitDefines.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSResponder.h"

NS_ASSUME_NONNULL_BEGIN

typedef NS_OPTIONS(NSUInteger, NSWindowOcclusionState) {
  NSWindowOcclusionStateVisible = 1UL << 1,
};

static const NSModalResponse NSModalResponseOK = 1;

@interface NSWindow : NSResponder
// In screen coordinates: origin at the bottom-left of the main display, y up.
@property(readonly) NSRect frame;
@property(readonly) NSWindowOcclusionState occlusionState;
@end

APPKIT_EXTERN NSNotificationName const NSWindowDidMoveNotification;
APPKIT_EXTERN NSNotificationName const NSWindowDidChangeOcclusionStateNotification;

NS_ASSUME_NONNULL_END
