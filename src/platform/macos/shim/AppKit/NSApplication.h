#pragma once
// NSApplication: the application object (NSApp), its delegate, run loop, main menu,
// activation and lifecycle, and the modal responses its sessions end with.

#import <Foundation/Foundation.h>

#include "AppKit/AppKitDefines.h"
#include "AppKit/NSResponder.h"
#include "AppKit/NSRunningApplication.h"

NS_ASSUME_NONNULL_BEGIN

@class NSApplication;
@class NSEvent;
@class NSMenu;

// How a modal session ended; each panel and alert names its own values.
typedef NSInteger NSModalResponse;
static const NSModalResponse NSModalResponseOK = 1;

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
@property(nullable, strong) NSMenu* mainMenu;
// The event being handled, nil outside event handling.
@property(nullable, readonly, strong) NSEvent* currentEvent;
// Finishes launching, then handles events until the application terminates.
- (void)run;
// NO when the policy cannot be taken (Prohibited cannot be left for another, for one).
- (BOOL)setActivationPolicy:(NSApplicationActivationPolicy)activationPolicy;
- (void)activateIgnoringOtherApps:(BOOL)flag;
- (void)terminate:(nullable id)sender;
@end

// The shared application object, once sharedApplication has made it.
APPKIT_EXTERN __kindof NSApplication* _Null_unspecified NSApp;

// Posted on the default centre when displays are added, removed or rearranged, with NSApp.
APPKIT_EXTERN NSNotificationName const NSApplicationDidChangeScreenParametersNotification;

NS_ASSUME_NONNULL_END
