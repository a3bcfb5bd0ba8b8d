#pragma once
// NSButton: a control with a title and an image.

#import <Foundation/Foundation.h>

#include "AppKit/NSCell.h"
#include "AppKit/NSControl.h"

NS_ASSUME_NONNULL_BEGIN

@class NSImage;

@interface NSButton : NSControl
@property(copy) NSString* title;
@property(nullable, strong) NSImage* image;
@property NSCellImagePosition imagePosition;
// Keeps the image beside the title instead of at the button's edge.
@property BOOL imageHugsTitle;
// As if the user clicked: highlights and sends the action (or opens the button's menu).
- (void)performClick:(nullable id)sender;
@end

NS_ASSUME_NONNULL_END
