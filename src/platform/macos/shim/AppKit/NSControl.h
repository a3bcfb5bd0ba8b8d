#pragma once
// NSControl: a view that sends an action to a target, with a font and text layout.

#import <Foundation/Foundation.h>

#include "AppKit/NSEvent.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSView.h"

NS_ASSUME_NONNULL_BEGIN

@class NSFont;

@interface NSControl : NSView
// Not retained.
@property(nullable, weak) id target;
@property(nullable) SEL action;
@property(nullable, strong) NSFont* font;
@property NSLineBreakMode lineBreakMode;
@property BOOL usesSingleLineMode;
// The event types that send the action; answers the previous mask.
- (NSInteger)sendActionOn:(NSEventMask)mask;
@end

NS_ASSUME_NONNULL_END
