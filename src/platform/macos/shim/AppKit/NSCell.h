#pragma once
// NSCell's constants shared by controls: the on/off state and where an image sits beside a
// title.

#import <Foundation/Foundation.h>

typedef NSInteger NSControlStateValue;
static const NSControlStateValue NSControlStateValueOn = 1;

typedef NS_ENUM(NSUInteger, NSCellImagePosition) {
  NSImageLeading = 7,
  NSImageTrailing = 8,
};
