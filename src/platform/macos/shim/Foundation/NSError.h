#pragma once
// NSError: a failure's domain, code and user-facing description.

#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

@class NSString;

@interface NSError : NSObject <NSCopying>
@property(readonly, copy) NSString* domain;
@property(readonly) NSInteger code;
@property(readonly, copy) NSString* localizedDescription;
@end

NS_ASSUME_NONNULL_END
