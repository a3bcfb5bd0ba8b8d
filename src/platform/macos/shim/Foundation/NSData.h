#pragma once
// NSData: bytes, bridged toll-free with CFData.

#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

@interface NSData : NSObject <NSCopying>
@property(readonly) NSUInteger length;
@property(readonly) const void* bytes;
+ (instancetype)dataWithBytes:(nullable const void*)bytes length:(NSUInteger)length;
@end

@interface NSMutableData : NSData
@end

NS_ASSUME_NONNULL_END
