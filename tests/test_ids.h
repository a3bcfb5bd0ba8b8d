#pragma once
// Literal ids for tests: 7_sid is the window server's space 7, 107_mid the managed id 107.
#include "core/ids.h"

namespace velmora::testing {

constexpr SpaceID operator""_sid(unsigned long long raw) {
  return SpaceID(static_cast<std::uint64_t>(raw));
}
constexpr ManagedID operator""_mid(unsigned long long raw) {
  return ManagedID(static_cast<std::int64_t>(raw));
}

}  // namespace velmora::testing
