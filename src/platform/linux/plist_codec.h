#pragma once
// Property lists through libplist: binary and XML in, binary out.

#include "platform/property_lists.h"

namespace velmora::linuxhost {

class PlistCodec final : public platform::PropertyLists {
 public:
  std::optional<Value> decode(const std::vector<std::uint8_t>& bytes) override;
  std::optional<std::vector<std::uint8_t>> encode(const Value& value) override;
};

}  // namespace velmora::linuxhost
