#pragma once
// NSData: bytes, bridged toll-free with CFData.

#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

@class NSError;
@class NSURL;

typedef NS_OPTIONS(NSUInteger, NSDataWritingOptions) {
  // Written to a temporary file first, then moved into place.
  NSDataWritingAtomic = 1UL << 0,
};

@interface NSData : NSObject <NSCopying>
@property(readonly) NSUInteger length;
@property(readonly) const void* bytes;
+ (instancetype)dataWithBytes:(nullable const void*)bytes length:(NSUInteger)length;
// NO on failure, with the reason in *errorPtr.
- (BOOL)writeToURL:(NSURL*)url
           options:(NSDataWritingOptions)writeOptionsMask
             error:(NSError* _Nullable* _Nullable)errorPtr;
@end

@interface NSMutableData : NSData
@end

NS_ASSUME_NONNULL_END
