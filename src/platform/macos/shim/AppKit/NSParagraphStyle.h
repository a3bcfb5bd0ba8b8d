#pragma once
// NSParagraphStyle's line-break modes: how text too wide for its box is wrapped or cut.

#import <Foundation/Foundation.h>

typedef NS_ENUM(NSInteger, NSLineBreakMode) {
  NSLineBreakByClipping = 2,
  NSLineBreakByTruncatingTail = 4,
};
