#include "platform/macos/volumes.h"

#import <Foundation/Foundation.h>

#include "platform/macos/cf_value.h"

namespace velmora::macos {

namespace {

// A Boolean resource value; none when the volume did not answer that key.
std::optional<bool> flag(id _Nullable value) {
  if (![value isKindOfClass:[NSNumber class]]) return std::nullopt;
  return static_cast<bool>([static_cast<NSNumber*>(value) boolValue]);
}

}  // namespace

std::optional<platform::VolumeFacts> MacVolumes::volumeFacts(const std::filesystem::path& path) {
  NSString* text = (__bridge_transfer NSString*)cfString(path.string()).release();
  if (!text) return std::nullopt;
  NSURL* item = [NSURL fileURLWithPath:text];
  NSDictionary<NSURLResourceKey, id>* values =
      [item resourceValuesForKeys:@[ NSURLVolumeIsReadOnlyKey, NSURLVolumeIsRootFileSystemKey ]
                            error:nil];
  if (!values) return std::nullopt;
  return platform::VolumeFacts{flag(values[NSURLVolumeIsReadOnlyKey]),
                               flag(values[NSURLVolumeIsRootFileSystemKey])};
}

}  // namespace velmora::macos
