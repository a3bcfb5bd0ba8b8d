#include "platform/macos/bundle.h"

#import <Foundation/Foundation.h>

#include "platform/macos/cf_value.h"

namespace velmora::macos {

Value MacBundle::infoDictionaryValue(const std::string& key) {
  NSString* name = (__bridge_transfer NSString*)cfString(key).release();
  if (!name) return Value();
  return valueFrom((__bridge CFTypeRef)[NSBundle.mainBundle objectForInfoDictionaryKey:name]);
}

std::optional<std::string> MacBundle::bundleIdentifier() {
  return stdString((__bridge CFStringRef)NSBundle.mainBundle.bundleIdentifier);
}

std::string MacBundle::bundlePath() {
  return stdStringOr((__bridge CFStringRef)NSBundle.mainBundle.bundleURL.path);
}

}  // namespace velmora::macos
