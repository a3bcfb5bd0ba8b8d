#include "platform/macos/screens.h"

#import <AppKit/AppKit.h>
#include <ColorSync/ColorSync.h>
#include <CoreFoundation/CoreFoundation.h>

#include "platform/macos/cf_ptr.h"
#include "platform/macos/cf_value.h"

namespace velmora::macos {

namespace {

// AppKit's rectangles are already in drawing coordinates, as ScreenRect is.
ScreenRect screenRect(NSRect r) {
  return ScreenRect::make(r.origin.x, r.origin.y, r.size.width, r.size.height);
}

// The areas beside a camera housing are NSZeroRect on a display without one.
std::optional<ScreenRect> areaBesideHousing(NSRect r) {
  if (r.size.width <= 0 || r.size.height <= 0) return std::nullopt;
  return screenRect(r);
}

}  // namespace

std::vector<platform::ScreenInfo> MacScreens::screens() {
  NSArray<NSScreen*>* screens = NSScreen.screens;
  std::vector<platform::ScreenInfo> result;
  result.reserve(screens.count);
  for (NSScreen* screen in screens) {
    platform::ScreenInfo info;
    info.frame = screenRect(screen.frame);
    info.visibleFrame = screenRect(screen.visibleFrame);
    info.backingScaleFactor = screen.backingScaleFactor;
    info.localizedName = stdStringOr((__bridge CFStringRef)screen.localizedName);
    // Plist-like entries come through; the NSValue ones (sizes, resolution) read as null.
    info.deviceDescription = valueFrom((__bridge CFDictionaryRef)screen.deviceDescription);
    info.auxiliaryTopLeftArea = areaBesideHousing(screen.auxiliaryTopLeftArea);
    info.auxiliaryTopRightArea = areaBesideHousing(screen.auxiliaryTopRightArea);
    info.safeAreaTopInset = screen.safeAreaInsets.top;
    result.push_back(std::move(info));
  }
  return result;
}

Value MacScreens::displayUUIDString(std::uint32_t displayID) {
  auto uuid = CFPtr<CFUUIDRef>::adopt(CGDisplayCreateUUIDFromDisplayID(displayID));
  if (!uuid) return Value();
  auto text = CFPtr<CFStringRef>::adopt(CFUUIDCreateString(kCFAllocatorDefault, uuid.get()));
  return valueFrom(text.get());
}

}  // namespace velmora::macos
