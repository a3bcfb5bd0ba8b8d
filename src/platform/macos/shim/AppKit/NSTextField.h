#pragma once
// NSTextField: a control that shows text and, when editable, lets the user type it; its
// delegate hears each change the user makes.

#import <Foundation/Foundation.h>

#include "AppKit/NSControl.h"

NS_ASSUME_NONNULL_BEGIN

@class NSColor;

@protocol NSTextFieldDelegate <NSControlTextEditingDelegate>
@end

@interface NSTextField : NSControl
// A single-line editable field in the system font, bezeled, showing `stringValue` (10.12).
+ (instancetype)textFieldWithString:(NSString*)stringValue;
// YES draws a bezel and turns drawsBackground off.
@property(getter=isBezeled) BOOL bezeled;
@property(getter=isBordered) BOOL bordered;
@property BOOL drawsBackground;
@property(getter=isEditable) BOOL editable;
@property(getter=isSelectable) BOOL selectable;
@property(nullable, copy) NSColor* textColor;
// Shown while the field is empty (10.10).
@property(nullable, copy) NSAttributedString* placeholderAttributedString;
// Not retained.
@property(nullable, weak) id<NSTextFieldDelegate> delegate;
@end

NS_ASSUME_NONNULL_END
