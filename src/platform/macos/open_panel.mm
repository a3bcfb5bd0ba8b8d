#include "platform/macos/open_panel.h"

#import <AppKit/AppKit.h>
#import <UniformTypeIdentifiers/UniformTypeIdentifiers.h>

#include <string>

#include "platform/macos/cf_value.h"

namespace velmora::macos {
namespace {

NSString* nsString(const std::string& text) {
  NSString* string = (__bridge_transfer NSString*)cfString(text).release();
  return string ? string : @"";
}

}  // namespace

std::optional<std::filesystem::path> MacOpenPanel::runModal(
    const platform::OpenPanelRequest& request) {
  NSOpenPanel* panel = [NSOpenPanel openPanel];
  panel.message = nsString(request.message);
  NSMutableArray<UTType*>* types =
      [NSMutableArray arrayWithCapacity:request.allowedExtensions.size()];
  for (const std::string& extension : request.allowedExtensions) {
    if (UTType* type = [UTType typeWithFilenameExtension:nsString(extension)])
      [types addObject:type];
  }
  panel.allowedContentTypes = types;
  panel.canChooseFiles = YES;
  panel.canChooseDirectories = request.canChooseDirectories;
  panel.allowsMultipleSelection = request.allowsMultipleSelection;
  if ([panel runModal] != NSModalResponseOK) return std::nullopt;
  std::optional<std::string> path = stdString((__bridge CFStringRef)panel.URLs.firstObject.path);
  if (!path) return std::nullopt;
  return std::filesystem::path(*path);
}

}  // namespace velmora::macos
