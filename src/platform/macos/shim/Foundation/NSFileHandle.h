#pragma once
// NSFileHandle and NSPipe: the null device, and a pipe whose reading end we drain.

#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

@class NSData;
@class NSError;

@interface NSFileHandle : NSObject
// Writes go nowhere, reads answer end of file at once.
@property(class, readonly, strong) NSFileHandle* fileHandleWithNullDevice;
// Blocks until end of file; nil (with the error) when the read fails.
- (nullable NSData*)readDataToEndOfFileAndReturnError:(NSError* _Nullable* _Nullable)error;
@end

@interface NSPipe : NSObject
+ (NSPipe*)pipe;
@property(readonly, retain) NSFileHandle* fileHandleForReading;
@end

NS_ASSUME_NONNULL_END
