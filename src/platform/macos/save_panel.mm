#include "platform/macos/save_panel.h"

#import <AppKit/AppKit.h>
#import <UniformTypeIdentifiers/UniformTypeIdentifiers.h>

#include <memory>
#include <string>
#include <utility>

#include "platform/macos/cf_value.h"

namespace velmora::macos {
namespace {

NSString* nsString(const std::string& text) {
  NSString* string = (__bridge_transfer NSString*)cfString(text).release();
  return string ? string : @"";
}

}  // namespace

void MacSavePanel::begin(const platform::SavePanelRequest& request, Answer answer) {
  NSSavePanel* panel = [NSSavePanel savePanel];
  panel.nameFieldStringValue = nsString(request.proposedName);
  NSMutableArray<UTType*>* types =
      [NSMutableArray arrayWithCapacity:request.allowedContentTypes.size()];
  for (const std::string& identifier : request.allowedContentTypes) {
    if (UTType* type = [UTType typeWithIdentifier:nsString(identifier)]) [types addObject:type];
  }
  panel.allowedContentTypes = types;
  // The block keeps the panel alive until it ends, and runs on the main thread.
  auto held = std::make_shared<Answer>(std::move(answer));
  [panel beginWithCompletionHandler:^(NSModalResponse result) {
    std::optional<std::filesystem::path> chosen;
    if (result == NSModalResponseOK) {
      if (std::optional<std::string> path = stdString((__bridge CFStringRef)panel.URL.path)) {
        chosen = std::filesystem::path(*path);
      }
    }
    if (*held) (*held)(std::move(chosen));
  }];
}

}  // namespace velmora::macos
