#include "platform/macos/pasteboard.h"

#import <AppKit/AppKit.h>

#include "platform/macos/cf_value.h"

namespace velmora::macos {

void MacPasteboard::clearContents() {
  [[NSPasteboard generalPasteboard] clearContents];
}

bool MacPasteboard::setString(const std::string& text) {
  NSString* string = (__bridge_transfer NSString*)cfString(text).release();
  if (!string) return false;
  return [[NSPasteboard generalPasteboard] setString:string forType:NSPasteboardTypeString];
}

std::optional<std::string> MacPasteboard::stringForType() {
  NSString* string = [[NSPasteboard generalPasteboard] stringForType:NSPasteboardTypeString];
  if (!string) return std::nullopt;
  return stdString((__bridge CFStringRef)string);
}

}  // namespace velmora::macos
