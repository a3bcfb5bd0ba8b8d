#pragma once
// NSAnimationContext: the duration and pacing of the animator changes made in a group.

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@class CAMediaTimingFunction;

@interface NSAnimationContext : NSObject
// Runs `changes` in a new group; animator changes made in it start together.
+ (void)runAnimationGroup:(void (^)(NSAnimationContext* context))changes;
@property NSTimeInterval duration;
@property(nullable, strong) CAMediaTimingFunction* timingFunction;
@end

NS_ASSUME_NONNULL_END
