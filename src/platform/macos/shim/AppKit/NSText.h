#pragma once
// NSText: the text-editing view AppKit's field editor is made of; while a text field is edited,
// its window's field editor is the first responder.

#import <Foundation/Foundation.h>

#include "AppKit/NSView.h"

NS_ASSUME_NONNULL_BEGIN

@interface NSText : NSView
@end

NS_ASSUME_NONNULL_END
