#pragma once
// NSView: a rectangle of a window that draws itself and takes events.

#import <CoreGraphics/CoreGraphics.h>
#import <Foundation/Foundation.h>

#include "AppKit/NSAnimation.h"
#include "AppKit/NSAppearance.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSResponder.h"

NS_ASSUME_NONNULL_BEGIN

@class NSEvent;
@class NSTrackingArea;
@class NSWindow;

// Which of a view's margins and sides stretch when its superview is resized, in the
// superview's coordinates (y up unless it is flipped).
typedef NS_OPTIONS(NSUInteger, NSAutoresizingMaskOptions) {
  NSViewNotSizable = 0,
  // The bottom margin stretches: the view keeps its distance from the top.
  NSViewMinYMargin = 8,
};

@interface NSView : NSResponder <NSAnimatablePropertyContainer, NSAppearanceCustomization>
- (instancetype)initWithFrame:(NSRect)frameRect NS_DESIGNATED_INITIALIZER;
// In the superview's coordinates.
@property NSRect frame;
@property NSRect bounds;
@property(nullable, readonly, weak) NSWindow* window;
// Not retained: the superview retains its subviews.
@property(nullable, readonly, assign) NSView* superview;
// Retains the view and puts it above its other subviews.
- (void)addSubview:(NSView*)view;
// Releases the view from its superview (and its window: a first responder gives that up).
- (void)removeFromSuperview;
@property NSAutoresizingMaskOptions autoresizingMask;
// From the coordinates of `view` (the window's base coordinates when nil) to the view's own.
- (NSPoint)convertPoint:(NSPoint)point fromView:(nullable NSView*)view;
// The view retains the area.
- (void)addTrackingArea:(NSTrackingArea*)trackingArea;
@property NSFocusRingType focusRingType;
@property(nullable, copy) NSString* toolTip;
// The smallest size that fits the view's content.
@property(readonly) NSSize fittingSize;
// Whether the view is drawn again on the next display pass.
@property BOOL needsDisplay;
// Overridden to draw; the current graphics context is the view's, its user space the
// view's bounds (y up unless the view is flipped).
- (void)drawRect:(NSRect)dirtyRect;
// Whether a click in an inactive window both activates it and reaches the view.
- (BOOL)acceptsFirstMouse:(nullable NSEvent*)event;
@end

NS_ASSUME_NONNULL_END
