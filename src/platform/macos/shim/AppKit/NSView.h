#pragma once
// NSView: a rectangle of a window that draws itself and takes events.

#import <CoreGraphics/CoreGraphics.h>
#import <Foundation/Foundation.h>

#include "AppKit/NSAnimation.h"
#include "AppKit/NSAppearance.h"
#include "AppKit/NSResponder.h"

NS_ASSUME_NONNULL_BEGIN

@class NSEvent;
@class NSWindow;

@interface NSView : NSResponder <NSAnimatablePropertyContainer, NSAppearanceCustomization>
- (instancetype)initWithFrame:(NSRect)frameRect NS_DESIGNATED_INITIALIZER;
@property NSRect bounds;
@property(nullable, readonly, weak) NSWindow* window;
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
