#pragma once
// NSColor: colours for AppKit drawing.

#import <CoreGraphics/CoreGraphics.h>
#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@interface NSColor : NSObject <NSCopying>
// Components 0…1 in the sRGB colour space (out-of-range values are clamped).
+ (NSColor*)colorWithSRGBRed:(CGFloat)red
                       green:(CGFloat)green
                        blue:(CGFloat)blue
                       alpha:(CGFloat)alpha;
@property(class, strong, readonly) NSColor* clearColor;
@end

NS_ASSUME_NONNULL_END
