#pragma once
// NSApplication: the application object (NSApp), its delegate, main menu, activation and
// lifecycle, and the modal responses its sessions end with.

#import <Foundation/Foundation.h>

#include "AppKit/AppKitDefines.h"
#include "AppKit/NSResponder.h"
#include "AppKit/NSRunningApplication.h"

NS_ASSUME_NONNULL_BEGIN

@class NSEvent;
@class NSMenu;

// How a modal session ended; each panel and alert names its own values.
typedef NSInteger NSModalResponse;

@protocol NSApplicationDelegate <NSObject>
@end

@interface NSApplication : NSResponder
@property(class, readonly, strong) NSApplication* sharedApplication;
@property(nullable, weak) id<NSApplicationDelegate> delegate;
@property(nullable, strong) NSMenu* mainMenu;
// The event being handled, nil outside event handling.
@property(nullable, readonly, strong) NSEvent* currentEvent;
// NO when the policy cannot be taken (Prohibited cannot be left for another, for one).
- (BOOL)setActivationPolicy:(NSApplicationActivationPolicy)activationPolicy;
- (void)activateIgnoringOtherApps:(BOOL)flag;
- (void)terminate:(nullable id)sender;
@end

// The shared application object, set by sharedApplication.
APPKIT_EXTERN NSApplication* _Null_unspecified NSApp;

// Posted on the default centre when displays are added, removed or rearranged, with NSApp.
APPKIT_EXTERN NSNotificationName const NSApplicationDidChangeScreenParametersNotification;

NS_ASSUME_NONNULL_END
