#pragma once
// A version as Velmora and its feed write it: non-negative whole numbers joined by ".". Missing
// trailing pieces count as 0, so 1.2 and 1.2.0 are the same version and 1.10 comes after 1.9.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::updates {

class AppVersion {
 public:
  // None for text that is not a version: an empty piece ("1..2"), anything but decimal digits
  // ("1.2-beta"), the empty text, or a piece too large to count.
  static std::optional<AppVersion> parse(std::string_view text);

  const std::vector<std::uint64_t>& parts() const { return parts_; }
  std::string text() const;

  std::strong_ordering operator<=>(const AppVersion& other) const;
  bool operator==(const AppVersion& other) const { return (*this <=> other) == 0; }

 private:
  std::vector<std::uint64_t> parts_;
};

}  // namespace velmora::updates
