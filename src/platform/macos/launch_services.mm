#include "platform/macos/launch_services.h"

#import <AppKit/AppKit.h>
#include <CoreServices/CoreServices.h>
#import <Foundation/Foundation.h>

#include "platform/macos/cf_value.h"

namespace velmora::macos {

bool MacLaunchServices::openURL(const std::string& url) {
  NSString* text = (__bridge_transfer NSString*)cfString(url).release();
  NSURL* link = text ? [NSURL URLWithString:text] : nil;
  return link && [NSWorkspace.sharedWorkspace openURL:link];
}

std::int32_t MacLaunchServices::registerURL(const std::string& bundlePath, bool update) {
  CFPtr<CFStringRef> path = cfString(bundlePath);
  if (!path) return paramErr;
  auto bundle = CFPtr<CFURLRef>::adopt(
      CFURLCreateWithFileSystemPath(kCFAllocatorDefault, path.get(), kCFURLPOSIXPathStyle, true));
  if (!bundle) return paramErr;
  return LSRegisterURL(bundle.get(), update);
}

}  // namespace velmora::macos
