#include "platform/macos/app_icons.h"

#import <AppKit/AppKit.h>

#include "platform/macos/appkit_drawing.h"
#include "platform/macos/cf_value.h"

namespace velmora::macos {

namespace {

// The bundle's path: where the application with that bundle identifier is installed, else
// the identifier itself when it is the full path of something on disk (an application run
// from a bundle with no identifier). Nil when neither names a bundle.
NSString* _Nullable bundlePath(NSString* identifier) {
  NSWorkspace* workspace = NSWorkspace.sharedWorkspace;
  if (NSURL* url = [workspace URLForApplicationWithBundleIdentifier:identifier]) return url.path;
  // iconForFile: answers an icon for any path at all; a name of nothing has none.
  if ([identifier hasPrefix:@"/"] && [NSFileManager.defaultManager fileExistsAtPath:identifier]) {
    return identifier;
  }
  return nil;
}

}  // namespace

std::shared_ptr<platform::VectorImage> MacAppIcons::icon(const platform::AppIcon& app) {
  if (auto kept = icons_.find(app.identifier); kept != icons_.end()) return kept->second;
  NSString* identifier = (__bridge_transfer NSString*)cfString(app.identifier).release();
  if (!identifier || identifier.length == 0) return nullptr;
  NSString* path = bundlePath(identifier);
  if (!path) return nullptr;
  NSImage* image = [NSWorkspace.sharedWorkspace iconForFile:path];
  std::shared_ptr<platform::VectorImage> picture = makeAppKitPicture((__bridge CFTypeRef)image);
  if (picture) icons_.emplace(app.identifier, picture);
  return picture;
}

}  // namespace velmora::macos
