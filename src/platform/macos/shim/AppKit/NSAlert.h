#pragma once
// NSAlert: a modal alert with a message, an informative text and buttons.

#import <Foundation/Foundation.h>

#include "AppKit/NSApplication.h"

NS_ASSUME_NONNULL_BEGIN

@class NSButton;

// runModal answers this for the first button added, one more for each next one.
static const NSModalResponse NSAlertFirstButtonReturn = 1000;

@interface NSAlert : NSObject
@property(copy) NSString* messageText;
@property(copy) NSString* informativeText;
// Buttons go right to left in the order added; without any the alert shows "OK".
- (NSButton*)addButtonWithTitle:(NSString*)title;
// Runs the alert as an application-modal dialog until a button is pressed.
- (NSModalResponse)runModal;
@end

NS_ASSUME_NONNULL_END
