#pragma once
// NSAnimation: the animatable-property protocol views and windows conform to.

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@protocol NSAnimatablePropertyContainer
// A proxy whose property changes animate within the current NSAnimationContext group.
- (instancetype)animator;
@end

NS_ASSUME_NONNULL_END
