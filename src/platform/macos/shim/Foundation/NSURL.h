#pragma once
// NSURL: file locations and links, bridged toll-free with CFURL.

#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

@class NSString;

@interface NSURL : NSObject <NSCopying>
+ (nullable instancetype)URLWithString:(NSString*)URLString;
+ (NSURL*)fileURLWithPath:(NSString*)path;
+ (NSURL*)fileURLWithPath:(NSString*)path isDirectory:(BOOL)isDir;
@property(nullable, readonly, copy) NSString* path;
@property(nullable, readonly, copy) NSString* absoluteString;
@property(nullable, readonly, copy) NSString* scheme;
@property(readonly, getter=isFileURL) BOOL fileURL;
@end

NS_ASSUME_NONNULL_END
