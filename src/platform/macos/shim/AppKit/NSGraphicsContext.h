#pragma once
// NSGraphicsContext: the context AppKit is drawing into, and its Core Graphics context.

#import <Foundation/Foundation.h>

#include "CoreGraphics/CGBase.h"

NS_ASSUME_NONNULL_BEGIN

@interface NSGraphicsContext : NSObject
// The current thread's context; nil outside drawing.
@property(class, nullable, strong) NSGraphicsContext* currentContext;
@property(readonly) CGContextRef CGContext;
@end

NS_ASSUME_NONNULL_END
