#pragma once
// Property-list serialisation (NSPropertyListSerialization): for values kept as property-list
// data inside other values, such as the predecessor's per-desktop details.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/value.h"

namespace velmora::platform {

class PropertyLists {
 public:
  virtual ~PropertyLists() = default;
  // Binary or XML property-list bytes → value; none when the bytes are not a property list.
  virtual std::optional<Value> decode(const std::vector<std::uint8_t>& bytes) = 0;
  // Value → binary property-list bytes; none for a value with no property-list form (null).
  virtual std::optional<std::vector<std::uint8_t>> encode(const Value& value) = 0;
};

}  // namespace velmora::platform
