#pragma once
// NSNotification and NSNotificationCenter with block observers.

#include "Foundation/NSDictionary.h"
#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

@class NSString;
@class NSOperationQueue;

typedef NSString* NSNotificationName;

@interface NSNotification : NSObject <NSCopying>
@property(readonly, copy) NSNotificationName name;
@property(nullable, readonly, retain) id object;
@property(nullable, readonly, copy) NSDictionary* userInfo;
@end

@interface NSNotificationCenter : NSObject
@property(class, readonly, strong) NSNotificationCenter* defaultCenter;
// The block runs on `queue` (the posting thread when nil). The returned token is kept by
// the caller and handed to removeObserver: to stop.
- (id<NSObject>)addObserverForName:(nullable NSNotificationName)name
                            object:(nullable id)obj
                             queue:(nullable NSOperationQueue*)queue
                        usingBlock:(void (^)(NSNotification* notification))block;
- (void)removeObserver:(id)observer;
@end

@interface NSOperationQueue : NSObject
@property(class, readonly, strong) NSOperationQueue* mainQueue;
@end

NS_ASSUME_NONNULL_END
