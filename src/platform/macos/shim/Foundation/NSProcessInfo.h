#pragma once
// NSProcessInfo: this process and the operating system it runs on.

#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

typedef struct {
  NSInteger majorVersion;
  NSInteger minorVersion;
  NSInteger patchVersion;
} NSOperatingSystemVersion;

@interface NSProcessInfo : NSObject
@property(class, readonly, strong) NSProcessInfo* processInfo;
@property(readonly) int processIdentifier;
@property(readonly) NSOperatingSystemVersion operatingSystemVersion;
@end

NS_ASSUME_NONNULL_END
