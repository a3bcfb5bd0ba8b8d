#pragma once
// NSBundle: the application's own bundle.

#include "Foundation/NSDictionary.h"
#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

@class NSString;
@class NSURL;

@interface NSBundle : NSObject
@property(class, readonly, strong) NSBundle* mainBundle;
@property(nullable, readonly, copy) NSString* bundleIdentifier;
@property(readonly, copy) NSURL* bundleURL;
@property(readonly, copy) NSString* bundlePath;
@property(nullable, readonly, copy) NSDictionary<NSString*, id>* infoDictionary;
- (nullable id)objectForInfoDictionaryKey:(NSString*)key;
@end

NS_ASSUME_NONNULL_END
