#pragma once
// NSWorkspace: the running applications, opening a URL with the application the user has for
// it, where an application is installed and the icons of files, and the workspace's own
// notification centre.

#import <Foundation/Foundation.h>

#include "AppKit/AppKitDefines.h"
#include "AppKit/NSRunningApplication.h"

NS_ASSUME_NONNULL_BEGIN

@class NSImage;

@interface NSWorkspace : NSObject
@property(class, readonly, strong) NSWorkspace* sharedWorkspace;
// Workspace notifications are posted here, not on NSNotificationCenter.defaultCenter.
@property(readonly, strong) NSNotificationCenter* notificationCenter;
@property(readonly, copy) NSArray<NSRunningApplication*>* runningApplications;
@property(nullable, readonly, strong) NSRunningApplication* frontmostApplication;
// YES when an application opened the URL.
- (BOOL)openURL:(NSURL*)url;
// Brings the Finder forward with these files selected, opening windows as needed.
- (void)activateFileViewerSelectingURLs:(NSArray<NSURL*>*)fileURLs;
// The application with that bundle identifier (chosen by heuristics when several have it);
// nil when no application has it. Any thread.
- (nullable NSURL*)URLForApplicationWithBundleIdentifier:(NSString*)bundleIdentifier;
// The icon of the file at that full path, holding several representations; its initial size
// is 32 × 32.
- (NSImage*)iconForFile:(NSString*)fullPath;
@end

// Posted on the workspace's centre when the current Space changes, with no object.
APPKIT_EXTERN NSNotificationName const NSWorkspaceActiveSpaceDidChangeNotification;
APPKIT_EXTERN NSNotificationName const NSWorkspaceScreensDidSleepNotification;
APPKIT_EXTERN NSNotificationName const NSWorkspaceScreensDidWakeNotification;
APPKIT_EXTERN NSNotificationName const NSWorkspaceSessionDidResignActiveNotification;
APPKIT_EXTERN NSNotificationName const NSWorkspaceSessionDidBecomeActiveNotification;

NS_ASSUME_NONNULL_END
