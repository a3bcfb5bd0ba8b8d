#pragma once
// NSFileManager: standard folders, existence and permission checks, moving and removing items.

#include "Foundation/NSArray.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSPathUtilities.h"

NS_ASSUME_NONNULL_BEGIN

@class NSError;
@class NSString;
@class NSURL;

@interface NSFileManager : NSObject
@property(class, readonly, strong) NSFileManager* defaultManager;
// The folders of that kind in the domains asked for, most specific domain first.
- (NSArray<NSURL*>*)URLsForDirectory:(NSSearchPathDirectory)directory
                           inDomains:(NSSearchPathDomainMask)domainMask;
// Follows a symbolic link at the end of the path.
- (BOOL)fileExistsAtPath:(NSString*)path;
- (BOOL)fileExistsAtPath:(NSString*)path isDirectory:(nullable BOOL*)isDirectory;
- (BOOL)isWritableFileAtPath:(NSString*)path;
// Fails when an item already exists at dstURL.
- (BOOL)moveItemAtURL:(NSURL*)srcURL
                toURL:(NSURL*)dstURL
                error:(NSError* _Nullable* _Nullable)error;
// Removes a folder with everything in it.
- (BOOL)removeItemAtURL:(NSURL*)URL error:(NSError* _Nullable* _Nullable)error;
@end

NS_ASSUME_NONNULL_END
