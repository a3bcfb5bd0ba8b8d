#pragma once
// NSPopover: content shown in a bubble anchored to a rectangle of a view, with an arrow
// pointing at it.

#import <Foundation/Foundation.h>

#include "AppKit/NSAppearance.h"
#include "AppKit/NSResponder.h"

NS_ASSUME_NONNULL_BEGIN

@class NSView;
@class NSViewController;
@class NSPopover;

// Which user interactions close the popover on the application's behalf.
typedef NS_ENUM(NSInteger, NSPopoverBehavior) {
  NSPopoverBehaviorApplicationDefined = 0,
  // Closed in response to most interactions outside it: a click elsewhere.
  NSPopoverBehaviorTransient = 1,
  NSPopoverBehaviorSemitransient = 2,
};

@protocol NSPopoverDelegate <NSObject>
@optional
// After the popover closed, whatever closed it.
- (void)popoverDidClose:(NSNotification*)notification;
@end

@interface NSPopover : NSResponder <NSAppearanceCustomization>
- (instancetype)init NS_DESIGNATED_INITIALIZER;
@property NSPopoverBehavior behavior;
// Whether showing and closing animate.
@property BOOL animates;
@property NSSize contentSize;
@property(nullable, strong) NSViewController* contentViewController;
@property(nullable, weak) id<NSPopoverDelegate> delegate;
@property(readonly, getter=isShown) BOOL shown;
// Raises when the content view controller or the positioning view is missing.
- (void)showRelativeToRect:(NSRect)positioningRect
                    ofView:(NSView*)positioningView
             preferredEdge:(NSRectEdge)preferredEdge;
// Asks the delegate, then closes (animated when `animates`).
- (void)performClose:(nullable id)sender;
// Closes at once, without asking the delegate.
- (void)close;
@end

NS_ASSUME_NONNULL_END
