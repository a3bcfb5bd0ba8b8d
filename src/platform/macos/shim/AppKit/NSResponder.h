#pragma once
// NSResponder: the base of everything that takes part in event handling (views, windows).

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@interface NSResponder : NSObject
@end

NS_ASSUME_NONNULL_END
