#pragma once
// Property-list data through CoreFoundation: any format in, binary out.

#include "platform/property_lists.h"

namespace velmora::macos {

class MacPropertyLists final : public platform::PropertyLists {
 public:
  // CFPropertyListCreateWithData.
  std::optional<Value> decode(const std::vector<std::uint8_t>& bytes) override;
  // CFPropertyListCreateData in the binary format.
  std::optional<std::vector<std::uint8_t>> encode(const Value& value) override;
};

}  // namespace velmora::macos
