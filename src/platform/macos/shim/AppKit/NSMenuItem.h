#pragma once
// NSMenuItem: one entry of a menu, its title, shortcut, action, state and image.

#import <Foundation/Foundation.h>

#include "AppKit/NSCell.h"
#include "AppKit/NSEvent.h"

NS_ASSUME_NONNULL_BEGIN

@class NSImage;
@class NSMenu;

@interface NSMenuItem : NSObject <NSCopying>
- (instancetype)initWithTitle:(NSString*)string
                       action:(nullable SEL)selector
                keyEquivalent:(NSString*)charCode NS_DESIGNATED_INITIALIZER;
+ (NSMenuItem*)separatorItem;
@property NSEventModifierFlags keyEquivalentModifierMask;
// Not retained; nil sends the action along the responder chain.
@property(nullable, weak) id target;
@property(nullable) SEL action;
@property(getter=isEnabled) BOOL enabled;
@property NSControlStateValue state;
@property(nullable, strong) id representedObject;
@property(nullable, strong) NSImage* image;
@property(nullable, strong) NSMenu* submenu;
@property NSInteger tag;
@end

NS_ASSUME_NONNULL_END
