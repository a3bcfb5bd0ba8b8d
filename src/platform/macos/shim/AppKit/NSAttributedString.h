#pragma once
// AppKit's attributes of attributed strings: the font and the colour the text is drawn in.

#import <Foundation/Foundation.h>

#include "AppKit/AppKitDefines.h"

NS_ASSUME_NONNULL_BEGIN

// Value: an NSFont (Helvetica 12 when absent).
APPKIT_EXTERN NSAttributedStringKey const NSFontAttributeName;
// Value: an NSColor (black when absent).
APPKIT_EXTERN NSAttributedStringKey const NSForegroundColorAttributeName;

NS_ASSUME_NONNULL_END
