#pragma once
// NSMenu: a menu, its items, its delegate and pop-up tracking.

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@class NSMenu;
@class NSMenuItem;
@class NSView;

@protocol NSMenuDelegate <NSObject>
@optional
// Sent when menu tracking ends, whether or not an item was chosen.
- (void)menuDidClose:(NSMenu*)menu;
@end

@interface NSMenu : NSObject <NSCopying>
- (instancetype)initWithTitle:(NSString*)title NS_DESIGNATED_INITIALIZER;
- (void)addItem:(NSMenuItem*)newItem;
// When NO, each item's own enabled flag counts, never its target's validation.
@property BOOL autoenablesItems;
// Not retained by the menu.
@property(nullable, weak) id<NSMenuDelegate> delegate;
// Tracks the menu until it closes; with a nil view `location` is in screen coordinates and,
// with a nil item, is where the menu's top-left goes. YES when an item was chosen.
- (BOOL)popUpMenuPositioningItem:(nullable NSMenuItem*)item
                      atLocation:(NSPoint)location
                          inView:(nullable NSView*)view;
@end

NS_ASSUME_NONNULL_END
