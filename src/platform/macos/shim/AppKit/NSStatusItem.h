#pragma once
// NSStatusItem: one item of the system menu bar, its button, menu, length and visibility.

#import <Foundation/Foundation.h>

#include "CoreGraphics/CGBase.h"

NS_ASSUME_NONNULL_BEGIN

@class NSMenu;
@class NSStatusBarButton;

typedef NSString* NSStatusItemAutosaveName;

@interface NSStatusItem : NSObject
@property CGFloat length;
// While set, a click opens the menu instead of sending the button's action.
@property(nullable, strong) NSMenu* menu;
@property(nullable, readonly, strong) NSStatusBarButton* button;
@property(getter=isVisible) BOOL visible;
// The position the user drags the item to is kept in the user's defaults under this name.
@property(null_resettable, copy) NSStatusItemAutosaveName autosaveName;
@end

NS_ASSUME_NONNULL_END
