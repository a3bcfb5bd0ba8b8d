#pragma once
// NSImage: an image whose content a block draws at whatever size and scale it is shown.

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@interface NSImage : NSObject <NSCopying>
// The handler is called each time the image is drawn at a new size or backing scale, with
// the current graphics context set to the destination; it answers whether it drew.
+ (instancetype)imageWithSize:(NSSize)size
                      flipped:(BOOL)drawingHandlerShouldBeCalledWithFlippedContext
               drawingHandler:(BOOL (^)(NSRect dstRect))drawingHandler;
@end

NS_ASSUME_NONNULL_END
