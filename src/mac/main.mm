// The Velmora application: the Mac services, the application's shared objects and the
// AppKit delegate that hands them the application's events, then the event loop.

#import <AppKit/AppKit.h>
#include <CoreServices/CoreServices.h>
#import <Foundation/Foundation.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/recorded_surfaces.h"
#include "app/velmora_app.h"
#include "core/notification_center.h"
#include "platform/macos/cf_value.h"
#include "platform/macos/mac_platform.h"
#include "platform/macos/system_log.h"

// Forwards AppKit's application events to the running Velmora. Made before Velmora so the main
// menu's items for the delegate find it as their target; AppKit sends nothing before it runs,
// and by then Velmora exists.
@interface VelmoraApplicationDelegate : NSObject <NSApplicationDelegate>
- (void)startForwardingTo:(velmora::VelmoraApp*)app loop:(velmora::MainLoop*)loop;
- (void)showSettingsFromMenu;
- (void)showSettingsFromMenu:(nullable id)sender;
@end

@implementation VelmoraApplicationDelegate {
  velmora::VelmoraApp* _app;
  velmora::MainLoop* _loop;
}

- (void)startForwardingTo:(velmora::VelmoraApp*)app loop:(velmora::MainLoop*)loop {
  _app = app;
  _loop = loop;
}

- (void)applicationWillFinishLaunching:(NSNotification*)notification {
  // Here, after AppKit has installed its own handlers, so this one replaces AppKit's for links.
  [NSAppleEventManager.sharedAppleEventManager setEventHandler:self
                                                   andSelector:@selector(handleGetURLEvent:
                                                                            withReplyEvent:)
                                                 forEventClass:kInternetEventClass
                                                    andEventID:kAEGetURL];
}

- (BOOL)applicationShouldHandleReopen:(NSApplication*)sender hasVisibleWindows:(BOOL)flag {
  return _app && _app->delegate().applicationShouldHandleReopen(flag);
}

- (void)applicationWillTerminate:(NSNotification*)notification {
  if (_app) _app->delegate().applicationWillTerminate();
}

- (void)application:(NSApplication*)application openURLs:(NSArray<NSURL*>*)urls {
  std::vector<std::string> links;
  for (NSURL* url in urls)
    links.push_back(velmora::macos::stdStringOr((__bridge CFStringRef)url.absoluteString));
  [self openLinks:std::move(links)];
}

- (void)handleGetURLEvent:(NSAppleEventDescriptor*)event
           withReplyEvent:(NSAppleEventDescriptor*)replyEvent {
  NSString* link = [event paramDescriptorForKeyword:keyDirectObject].stringValue;
  if (link) [self openLinks:{velmora::macos::stdStringOr((__bridge CFStringRef)link)}];
}

// A link that starts Velmora arrives before the launch has run; on the loop it waits its turn
// behind the launch queued there first.
- (void)openLinks:(std::vector<std::string>)links {
  if (!_app) return;
  velmora::VelmoraApp* app = _app;
  _loop->post([app, links = std::move(links)] { app->delegate().openURLs(links); });
}

- (void)showSettingsFromMenu {
  if (_app) _app->delegate().showSettingsFromMenu();
}

- (void)showSettingsFromMenu:(nullable id)sender {
  [self showSettingsFromMenu];
}

@end

int main() {
  @autoreleasepool {
    [NSApplication sharedApplication];
    VelmoraApplicationDelegate* appDelegate = [[VelmoraApplicationDelegate alloc] init];
    NSApp.delegate = appDelegate;

    velmora::macos::MacPlatform mac;
    velmora::NotificationCenter center;
    // The surfaces that do not draw yet leave a line in the system log for each request.
    velmora::SurfaceRecord record(velmora::macos::logToSystem);
    velmora::RecordedSurfaceKit surfaces(record);
    velmora::macos::SystemLog systemLog;
    // The developer's own feed, when one is set for this run.
    std::optional<std::string> updateFeed;
    if (const char* feed = std::getenv("VELMORA_UPDATE_FEED")) updateFeed = feed;

    velmora::VelmoraApp app(mac.platform(), center, surfaces, updateFeed, systemLog);
    surfaces.setTitle(
        [&app](const velmora::Desktop& desktop) { return app.presentation().title(desktop); });
    surfaces.setAccessibility(&app.access());
    [appDelegate startForwardingTo:&app loop:&mac.loop()];

    [NSApp run];
  }
  return 0;
}
