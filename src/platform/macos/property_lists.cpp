#include "platform/macos/property_lists.h"

#include <CoreFoundation/CoreFoundation.h>

#include "platform/macos/cf_value.h"

namespace velmora::macos {

std::optional<Value> MacPropertyLists::decode(const std::vector<std::uint8_t>& bytes) {
  auto data = CFPtr<CFDataRef>::adopt(
      CFDataCreate(kCFAllocatorDefault, bytes.data(), static_cast<CFIndex>(bytes.size())));
  if (!data) return std::nullopt;
  CFPtr<CFErrorRef> error;
  auto list = CFPtr<CFPropertyListRef>::adopt(CFPropertyListCreateWithData(
      kCFAllocatorDefault, data.get(), kCFPropertyListImmutable, nullptr, error.out()));
  if (!list) return std::nullopt;
  return valueFrom(list.get());
}

std::optional<std::vector<std::uint8_t>> MacPropertyLists::encode(const Value& value) {
  CFPtr<CFTypeRef> list = cfFrom(value);
  if (!list) return std::nullopt;
  CFPtr<CFErrorRef> error;
  auto data = CFPtr<CFDataRef>::adopt(CFPropertyListCreateData(
      kCFAllocatorDefault, list.get(), kCFPropertyListBinaryFormat_v1_0, 0, error.out()));
  if (!data) return std::nullopt;
  const UInt8* start = CFDataGetBytePtr(data.get());
  CFIndex length = CFDataGetLength(data.get());
  if (!start || length <= 0) return std::vector<std::uint8_t>();
  return std::vector<std::uint8_t>(start, start + length);
}

}  // namespace velmora::macos
