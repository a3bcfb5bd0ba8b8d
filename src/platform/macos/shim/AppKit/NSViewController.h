#pragma once
// NSViewController: manages one view; a popover shows its content view controller's view.

#import <Foundation/Foundation.h>

#include "AppKit/NSResponder.h"

NS_ASSUME_NONNULL_BEGIN

@class NSView;

@interface NSViewController : NSResponder
- (instancetype)init;
// Loaded on first access through loadView, which subclasses override to make the view.
@property(strong) NSView* view;
- (void)loadView;
@end

NS_ASSUME_NONNULL_END
