#pragma once
// NSGraphicsContext: AppKit's drawing destination, over a Core Graphics context.

#import <CoreGraphics/CoreGraphics.h>
#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@interface NSGraphicsContext : NSObject
// AppKit drawing into an existing context; `initialFlippedState` tells AppKit whether that
// context's y grows down.
+ (NSGraphicsContext*)graphicsContextWithCGContext:(CGContextRef)graphicsPort
                                           flipped:(BOOL)initialFlippedState;
// The calling thread's current context (the view's own inside drawRect:).
@property(class, nullable, strong) NSGraphicsContext* currentContext;
// Push and pop the calling thread's current context and its graphics state.
+ (void)saveGraphicsState;
+ (void)restoreGraphicsState;
@property(readonly) CGContextRef CGContext;
@end

NS_ASSUME_NONNULL_END
