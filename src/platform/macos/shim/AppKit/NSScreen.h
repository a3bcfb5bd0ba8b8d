#pragma once
// NSScreen: the displays as AppKit lays them out, in drawing coordinates (origin at the
// bottom-left of the main screen, y up).

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@interface NSScreen : NSObject
// Every screen, the one with the menu bar and keyboard focus first.
@property(class, readonly, copy) NSArray<NSScreen*>* screens;
@property(readonly) NSRect frame;
// The frame without the menu bar and the Dock.
@property(readonly) NSRect visibleFrame;
@property(readonly) CGFloat backingScaleFactor;
@property(readonly, copy) NSString* localizedName;
// Keyed by NSDeviceDescriptionKey (an NSString); "NSScreenNumber" holds the Quartz display
// number as an NSNumber.
@property(readonly, copy) NSDictionary<NSString*, id>* deviceDescription;
// On a display with a camera housing, the menu-bar areas beside it; NSZeroRect elsewhere.
@property(readonly) NSRect auxiliaryTopLeftArea;
@property(readonly) NSRect auxiliaryTopRightArea;
// The top inset is the height the camera housing takes; all zero elsewhere.
@property(readonly) NSEdgeInsets safeAreaInsets;
@end

NS_ASSUME_NONNULL_END
