#pragma once
// NSResponder: the base of the objects that take part in event and action handling.

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@interface NSResponder : NSObject
@end

NS_ASSUME_NONNULL_END
