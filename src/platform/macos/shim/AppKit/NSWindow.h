#pragma once
// NSWindow: windows, their style, level, order on screen and opacity.

#import <CoreGraphics/CoreGraphics.h>
#import <Foundation/Foundation.h>

#include "AppKit/AppKitDefines.h"
#include "AppKit/NSAnimation.h"
#include "AppKit/NSAppearance.h"
#include "AppKit/NSResponder.h"

NS_ASSUME_NONNULL_BEGIN

@class NSColor;
@class NSView;

typedef NS_OPTIONS(NSUInteger, NSWindowStyleMask) {
  NSWindowStyleMaskBorderless = 0,
  // A panel that does not activate the application when clicked (NSPanel only).
  NSWindowStyleMaskNonactivatingPanel = 1 << 7,
};

typedef NS_ENUM(NSUInteger, NSBackingStoreType) {
  NSBackingStoreRetained = 0,
  NSBackingStoreNonretained = 1,
  NSBackingStoreBuffered = 2,
};

typedef NSInteger NSWindowLevel;

typedef NS_OPTIONS(NSUInteger, NSWindowCollectionBehavior) {
  NSWindowCollectionBehaviorCanJoinAllSpaces = 1 << 0,
  NSWindowCollectionBehaviorStationary = 1 << 4,
  NSWindowCollectionBehaviorIgnoresCycle = 1 << 6,
  NSWindowCollectionBehaviorFullScreenAuxiliary = 1 << 8,
};

typedef NS_ENUM(NSInteger, NSWindowAnimationBehavior) {
  NSWindowAnimationBehaviorDefault = 0,
  NSWindowAnimationBehaviorNone = 2,
  NSWindowAnimationBehaviorDocumentWindow = 3,
  NSWindowAnimationBehaviorUtilityWindow = 4,
  NSWindowAnimationBehaviorAlertPanel = 5,
};

typedef NS_OPTIONS(NSUInteger, NSWindowOcclusionState) {
  // Some part of the window is visible on screen.
  NSWindowOcclusionStateVisible = 1UL << 1,
};

@interface NSWindow : NSResponder <NSAnimatablePropertyContainer, NSAppearanceCustomization>
// `contentRect` in screen coordinates; with `flag` NO the window device is made at once.
- (instancetype)initWithContentRect:(NSRect)contentRect
                          styleMask:(NSWindowStyleMask)style
                            backing:(NSBackingStoreType)backingStoreType
                              defer:(BOOL)flag NS_DESIGNATED_INITIALIZER;
// In screen coordinates: origin at the bottom-left of the main screen, y up.
@property(readonly) NSRect frame;
@property(readonly) NSWindowOcclusionState occlusionState;
- (void)setFrame:(NSRect)frameRect display:(BOOL)flag;
@property NSWindowLevel level;
@property BOOL hasShadow;
@property NSWindowCollectionBehavior collectionBehavior;
@property NSWindowAnimationBehavior animationBehavior;
@property(null_resettable, copy) NSColor* backgroundColor;
@property(getter=isOpaque) BOOL opaque;
@property BOOL hidesOnDeactivate;
@property(getter=isReleasedWhenClosed) BOOL releasedWhenClosed;
@property BOOL ignoresMouseEvents;
// 0…1; read during an animator change it is the value of the moment.
@property CGFloat alphaValue;
@property(readonly) CGFloat backingScaleFactor;
@property(nullable, strong) __kindof NSView* contentView;
// Overridden by subclasses; borderless windows answer NO.
@property(readonly) BOOL canBecomeKeyWindow;
@property(readonly, getter=isVisible) BOOL visible;
@property(readonly, getter=isKeyWindow) BOOL keyWindow;
// Sent by AppKit when the window stops being the key window, never called directly;
// overrides call super.
- (void)resignKeyWindow;
// NO when the responder refused; the window itself when `responder` is nil.
- (BOOL)makeFirstResponder:(nullable NSResponder*)responder;
// The field editor (not the field) while a text field is edited.
@property(nullable, readonly, weak) NSResponder* firstResponder;
// Whether the first responder is sent mouseMoved: events.
@property BOOL acceptsMouseMovedEvents;
- (void)orderFrontRegardless;
- (void)makeKeyAndOrderFront:(nullable id)sender;
- (void)orderOut:(nullable id)sender;
@end

APPKIT_EXTERN NSNotificationName const NSWindowDidMoveNotification;
APPKIT_EXTERN NSNotificationName const NSWindowDidChangeOcclusionStateNotification;

NS_ASSUME_NONNULL_END
