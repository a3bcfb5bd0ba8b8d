#pragma once
// NSControl: a view that sends an action to a target, with a font and text layout.

#import <Foundation/Foundation.h>

#include "AppKit/NSEvent.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSView.h"

NS_ASSUME_NONNULL_BEGIN

@class NSFont;
@class NSNotification;
@class NSText;

// What a control's delegate hears while the user edits its text.
@protocol NSControlTextEditingDelegate <NSObject>
@optional
// The user changed the text (not sent for changes made through stringValue); the
// notification's object is the control.
- (void)controlTextDidChange:(NSNotification*)obj;
@end

@interface NSControl : NSView
// While the control is edited, the text being edited.
@property(copy) NSString* stringValue;
// The field editor while the control is being edited, else nil.
- (nullable NSText*)currentEditor;
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
