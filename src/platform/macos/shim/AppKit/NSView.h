#pragma once
// NSView: a rectangle of a window's content; the members the status item's button reads.

#import <Foundation/Foundation.h>

#include "AppKit/NSResponder.h"

NS_ASSUME_NONNULL_BEGIN

@class NSWindow;

@interface NSView : NSResponder
@property(nullable, readonly, weak) NSWindow* window;
@property(nullable, copy) NSString* toolTip;
// The smallest size that fits the content under the view's constraints.
@property(readonly) NSSize fittingSize;
@end

NS_ASSUME_NONNULL_END
