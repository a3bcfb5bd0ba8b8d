#pragma once
// NSStatusBar: the system menu bar's area for status items.

#import <Foundation/Foundation.h>

#include "CoreGraphics/CGBase.h"

NS_ASSUME_NONNULL_BEGIN

@class NSStatusItem;

// A length that follows the button's content.
static const CGFloat NSVariableStatusItemLength = -1;

@interface NSStatusBar : NSObject
@property(class, readonly, strong) NSStatusBar* systemStatusBar;
- (NSStatusItem*)statusItemWithLength:(CGFloat)length;
- (void)removeStatusItem:(NSStatusItem*)item;
@end

NS_ASSUME_NONNULL_END
