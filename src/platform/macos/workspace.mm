#include "platform/macos/workspace.h"

#import <AppKit/AppKit.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/macos/cf_value.h"

namespace velmora::macos {
namespace {

// What the system's notifications are posted as on the workspace's own centre.
constexpr const char* kActiveSpaceChanged = "activeSpaceChanged";
constexpr const char* kScreenParametersChanged = "screenParametersChanged";

// The workspace notifications about the machine as a whole, by the seam's name for each.
struct SessionNotification {
  platform::SessionEvent event;
  const char* name;
};
constexpr SessionNotification kSessionNotifications[] = {
    {platform::SessionEvent::screensDidSleep, "screensDidSleep"},
    {platform::SessionEvent::screensDidWake, "screensDidWake"},
    {platform::SessionEvent::sessionDidResignActive, "sessionDidResignActive"},
    {platform::SessionEvent::sessionDidBecomeActive, "sessionDidBecomeActive"},
};

NSNotificationName systemName(platform::SessionEvent event) {
  switch (event) {
    case platform::SessionEvent::screensDidSleep:
      return NSWorkspaceScreensDidSleepNotification;
    case platform::SessionEvent::screensDidWake:
      return NSWorkspaceScreensDidWakeNotification;
    case platform::SessionEvent::sessionDidResignActive:
      return NSWorkspaceSessionDidResignActiveNotification;
    case platform::SessionEvent::sessionDidBecomeActive:
      return NSWorkspaceSessionDidBecomeActiveNotification;
  }
  return NSWorkspaceScreensDidSleepNotification;
}

std::optional<std::string> text(NSString* _Nullable string) {
  return stdString((__bridge CFStringRef)string);
}

platform::ActivationPolicy policyOf(NSApplicationActivationPolicy policy) {
  switch (policy) {
    case NSApplicationActivationPolicyAccessory:
      return platform::ActivationPolicy::Accessory;
    case NSApplicationActivationPolicyProhibited:
      return platform::ActivationPolicy::Prohibited;
    default:
      return platform::ActivationPolicy::Regular;
  }
}

platform::RunningApplication runningApplicationFrom(NSRunningApplication* app) {
  platform::RunningApplication r;
  r.pid = app.processIdentifier;
  r.localizedName = text(app.localizedName);
  r.bundleIdentifier = text(app.bundleIdentifier);
  r.bundlePath = text(app.bundleURL.path);
  r.activationPolicy = policyOf(app.activationPolicy);
  // The drawing layer finds the icon by bundle identifier, or by path for a bare bundle.
  if (r.bundleIdentifier) {
    r.icon = platform::AppIcon{*r.bundleIdentifier};
  } else if (r.bundlePath) {
    r.icon = platform::AppIcon{*r.bundlePath};
  }
  r.terminated = app.terminated;
  return r;
}

NSRunningApplication* _Nullable find(platform::pid_t pid) {
  return [NSRunningApplication runningApplicationWithProcessIdentifier:pid];
}

}  // namespace

struct MacWorkspace::Impl {
  NotificationCenter events;
  id<NSObject> activeSpaceObserver;
  id<NSObject> screenParametersObserver;
  std::vector<id<NSObject>> sessionObservers;
};

MacWorkspace::MacWorkspace() : impl_(std::make_unique<Impl>()) {
  NotificationCenter* events = &impl_->events;
  impl_->activeSpaceObserver = [NSWorkspace.sharedWorkspace.notificationCenter
      addObserverForName:NSWorkspaceActiveSpaceDidChangeNotification
                  object:nil
                   queue:NSOperationQueue.mainQueue
              usingBlock:^(NSNotification*) {
                events->post(kActiveSpaceChanged);
              }];
  impl_->screenParametersObserver = [NSNotificationCenter.defaultCenter
      addObserverForName:NSApplicationDidChangeScreenParametersNotification
                  object:nil
                   queue:NSOperationQueue.mainQueue
              usingBlock:^(NSNotification*) {
                events->post(kScreenParametersChanged);
              }];
  for (const SessionNotification& n : kSessionNotifications) {
    const char* name = n.name;
    impl_->sessionObservers.push_back([NSWorkspace.sharedWorkspace.notificationCenter
        addObserverForName:systemName(n.event)
                    object:nil
                     queue:NSOperationQueue.mainQueue
                usingBlock:^(NSNotification*) {
                  events->post(name);
                }]);
  }
}

MacWorkspace::~MacWorkspace() {
  [NSWorkspace.sharedWorkspace.notificationCenter removeObserver:impl_->activeSpaceObserver];
  [NSNotificationCenter.defaultCenter removeObserver:impl_->screenParametersObserver];
  for (id<NSObject> observer : impl_->sessionObservers) {
    [NSWorkspace.sharedWorkspace.notificationCenter removeObserver:observer];
  }
}

std::optional<platform::RunningApplication> MacWorkspace::runningApplication(platform::pid_t pid) {
  NSRunningApplication* app = find(pid);
  if (!app) return std::nullopt;
  return runningApplicationFrom(app);
}

std::vector<platform::RunningApplication> MacWorkspace::runningApplications() {
  std::vector<platform::RunningApplication> running;
  for (NSRunningApplication* app in NSWorkspace.sharedWorkspace.runningApplications) {
    running.push_back(runningApplicationFrom(app));
  }
  return running;
}

std::optional<platform::RunningApplication> MacWorkspace::frontmostApplication() {
  NSRunningApplication* app = NSWorkspace.sharedWorkspace.frontmostApplication;
  if (!app) return std::nullopt;
  return runningApplicationFrom(app);
}

bool MacWorkspace::activate(platform::pid_t pid, unsigned options) {
  NSRunningApplication* app = find(pid);
  return app && [app activateWithOptions:options];
}

bool MacWorkspace::terminate(platform::pid_t pid) {
  NSRunningApplication* app = find(pid);
  return app && [app terminate];
}

bool MacWorkspace::forceTerminate(platform::pid_t pid) {
  NSRunningApplication* app = find(pid);
  return app && [app forceTerminate];
}

platform::pid_t MacWorkspace::currentProcessID() {
  return NSProcessInfo.processInfo.processIdentifier;
}

void MacWorkspace::activateFileViewerSelecting(const std::vector<std::string>& paths) {
  NSMutableArray<NSURL*>* urls = [NSMutableArray arrayWithCapacity:paths.size()];
  for (const std::string& path : paths) {
    NSString* string = (__bridge_transfer NSString*)cfString(path).release();
    if (string) [urls addObject:[NSURL fileURLWithPath:string]];
  }
  [[NSWorkspace sharedWorkspace] activateFileViewerSelectingURLs:urls];
}

ObserverToken MacWorkspace::observeActiveSpaceChanged(std::function<void()> fn) {
  return impl_->events.observe(kActiveSpaceChanged, std::move(fn));
}

ObserverToken MacWorkspace::observeScreenParametersChanged(std::function<void()> fn) {
  return impl_->events.observe(kScreenParametersChanged, std::move(fn));
}

ObserverToken MacWorkspace::observeSession(platform::SessionEvent event, std::function<void()> fn) {
  for (const SessionNotification& n : kSessionNotifications) {
    if (n.event == event) return impl_->events.observe(n.name, std::move(fn));
  }
  return {};
}

}  // namespace velmora::macos
