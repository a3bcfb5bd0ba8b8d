#pragma once
// Identifiers that mean different things are different types, so a space's window-server id
// can never key the user's metadata by accident. Converting one into another takes a named
// call; the raw number is for the seams, logs and storage.

#include <compare>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace velmora {

template <class Tag, class Raw>
class Identifier {
 public:
  constexpr Identifier() = default;
  constexpr explicit Identifier(Raw raw) : raw_(raw) {}
  constexpr Raw raw() const { return raw_; }
  constexpr auto operator<=>(const Identifier&) const = default;

  friend std::ostream& operator<<(std::ostream& out, const Identifier& id) {
    return out << id.raw_;
  }
  friend std::string to_string(const Identifier& id) { return std::to_string(id.raw_); }

 private:
  Raw raw_{};
};

// A space's "id64": what switching and window calls take. Changes when a display is
// re-plugged or the machine restarts.
using SpaceID = Identifier<struct SpaceIDTag, std::uint64_t>;
// A space's "ManagedSpaceID": the key of the user's metadata and counted time.
using ManagedID = Identifier<struct ManagedIDTag, std::int64_t>;

}  // namespace velmora

template <class Tag, class Raw>
struct std::hash<velmora::Identifier<Tag, Raw>> {
  std::size_t operator()(const velmora::Identifier<Tag, Raw>& id) const noexcept {
    return std::hash<Raw>{}(id.raw());
  }
};
