#pragma once
// NSPathUtilities: the user's home folder and the names of the standard folders a search for
// directories takes.

#include "Foundation/NSObjCRuntime.h"

NS_ASSUME_NONNULL_BEGIN

@class NSString;

// The current user's home folder.
NSString* NSHomeDirectory(void);
// The folder for this user's temporary files, ending in "/".
NSString* NSTemporaryDirectory(void);

typedef NS_ENUM(NSUInteger, NSSearchPathDirectory) {
  NSApplicationDirectory = 1,
};

typedef NS_OPTIONS(NSUInteger, NSSearchPathDomainMask) {
  NSLocalDomainMask = 2,
};

NS_ASSUME_NONNULL_END
