#pragma once
// CAMediaTimingFunction: the pacing of an animation.

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

typedef NSString* CAMediaTimingFunctionName;
// Even pace from start to end.
extern CAMediaTimingFunctionName const kCAMediaTimingFunctionLinear;

@interface CAMediaTimingFunction : NSObject
+ (instancetype)functionWithName:(CAMediaTimingFunctionName)name;
@end

NS_ASSUME_NONNULL_END
