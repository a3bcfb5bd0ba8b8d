#pragma once
// NSApplication: the shared application object, its run loop and its delegate.

#include <Foundation/Foundation.h>

#include "AppKit/NSResponder.h"

NS_ASSUME_NONNULL_BEGIN

@class NSApplication;

@protocol NSApplicationDelegate <NSObject>
@optional
// Before the launch's Apple events (open, get URL) are handled: where handlers of one's own
// replace AppKit's.
- (void)applicationWillFinishLaunching:(NSNotification*)notification;
// The user opened the application again while it runs; YES lets AppKit do its usual.
- (BOOL)applicationShouldHandleReopen:(NSApplication*)sender hasVisibleWindows:(BOOL)flag;
// The last word before the process exits.
- (void)applicationWillTerminate:(NSNotification*)notification;
// URLs of the application's schemes (or files) it was asked to open.
- (void)application:(NSApplication*)application openURLs:(NSArray<NSURL*>*)urls;
@end

@interface NSApplication : NSResponder
// Makes the application object on first use.
@property(class, readonly, strong) __kindof NSApplication* sharedApplication;
@property(nullable, weak) id<NSApplicationDelegate> delegate;
// Finishes launching, then handles events until the application terminates.
- (void)run;
@end

// The shared application object, once sharedApplication has made it.
extern __kindof NSApplication* _Null_unspecified NSApp;

NS_ASSUME_NONNULL_END
