#pragma once
// NSWorkspace: opening a URL with the application the user has for it.

#include <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@interface NSWorkspace : NSObject
@property(class, readonly, strong) NSWorkspace* sharedWorkspace;
// YES when an application opened the URL.
- (BOOL)openURL:(NSURL*)url;
@end

NS_ASSUME_NONNULL_END
