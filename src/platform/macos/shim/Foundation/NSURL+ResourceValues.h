#pragma once
// NSURL's resource values: what the system knows about the volume an item lies on.

#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSURL.h"

NS_ASSUME_NONNULL_BEGIN

@class NSError;
@class NSString;

typedef NSString* NSURLResourceKey;

// Each answers an NSNumber holding a Boolean.
extern NSURLResourceKey const NSURLVolumeIsReadOnlyKey;
extern NSURLResourceKey const NSURLVolumeIsRootFileSystemKey;

@interface NSURL (VelmoraResourceValues)
// Only the keys the system could answer are in the dictionary; nil (with the error) when the
// item cannot be reached.
- (nullable NSDictionary<NSURLResourceKey, id>*)
    resourceValuesForKeys:(NSArray<NSURLResourceKey>*)keys
                    error:(NSError* _Nullable* _Nullable)error;
@end

NS_ASSUME_NONNULL_END
