#pragma once
// NSWorkspace: the running applications, opening a URL with the application the user has for
// it, and the workspace's own notification centre.

#import <Foundation/Foundation.h>

#include "AppKit/AppKitDefines.h"
#include "AppKit/NSRunningApplication.h"

NS_ASSUME_NONNULL_BEGIN

@interface NSWorkspace : NSObject
@property(class, readonly, strong) NSWorkspace* sharedWorkspace;
// Workspace notifications are posted here, not on NSNotificationCenter.defaultCenter.
@property(readonly, strong) NSNotificationCenter* notificationCenter;
@property(readonly, copy) NSArray<NSRunningApplication*>* runningApplications;
@property(nullable, readonly, strong) NSRunningApplication* frontmostApplication;
// YES when an application opened the URL.
- (BOOL)openURL:(NSURL*)url;
@end

// Posted on the workspace's centre when the current Space changes, with no object.
APPKIT_EXTERN NSNotificationName const NSWorkspaceActiveSpaceDidChangeNotification;

NS_ASSUME_NONNULL_END
