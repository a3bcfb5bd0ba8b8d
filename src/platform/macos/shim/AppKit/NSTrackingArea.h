#pragma once
// NSTrackingArea: a region of a view whose owner hears the pointer entering, moving in and
// leaving it.

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

// One or more kinds of message, exactly one condition for when the area is active, and
// behaviours.
typedef NS_OPTIONS(NSUInteger, NSTrackingAreaOptions) {
  // The owner receives mouseMoved: while the pointer is within the area.
  NSTrackingMouseMoved = 0x02,
  // Whatever window is key and whatever application is active.
  NSTrackingActiveAlways = 0x80,
  // The area follows the view's visible rectangle; the rect given is ignored.
  NSTrackingInVisibleRect = 0x200,
};

@interface NSTrackingArea : NSObject <NSCopying>
// `rect` in the coordinates of the view the area is added to.
- (instancetype)initWithRect:(NSRect)rect
                     options:(NSTrackingAreaOptions)options
                       owner:(nullable id)owner
                    userInfo:(nullable NSDictionary<id, id>*)userInfo;
@end

NS_ASSUME_NONNULL_END
