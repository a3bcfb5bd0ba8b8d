#pragma once
// Matching a typed query against one desktop, for the quick switcher and for finding a
// desktop by name. A desktop matches through its title, its number or the name of an
// application on it; the strongest way it matches decides its score.
//
// Text is compared as a person reads it: lower-cased, in one canonical composition, and a
// character at a time (an emoji with its modifiers, a letter with its accents count once), so
// "e" never matches half of "é". Accents are not folded away: "cafe" does not find "Café".

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::SpaceSearch {

// How well a desktop matches, strongest first.
namespace Score {
inline constexpr int kExactName = 100;
inline constexpr int kNamePrefix = 80;
inline constexpr int kWordPrefix = 60;  // a word of the name, between spaces
inline constexpr int kSubstring = 40;
inline constexpr int kNumber = 30;  // "desktop 3", or 3 itself
inline constexpr int kApplication = 25;
inline constexpr int kInOrderLetters = 10;
}  // namespace Score

// The query as the desktops are searched with it: white space trimmed from both ends,
// lower-cased. Empty means "no query".
std::string normalize(std::string_view text);

// The score of a desktop with this `name` (its title), `number` and applications for an
// already normalised query; none when it does not match. An empty query matches nothing.
std::optional<int> score(std::string_view query, std::string_view name, int number,
                         std::span<const std::string> applicationNames);

// Whether an application of this name is how a desktop matches a normalised query (its
// name begins with it).
bool matchesApplication(std::string_view query, std::string_view applicationName);

struct Candidate {
  std::string_view name;
  int number = 0;
  std::span<const std::string> applicationNames;
};

struct Ranked {
  std::size_t index = 0;  // into the candidates
  int score = 0;
  bool operator==(const Ranked&) const = default;
};

// The candidates that match a normalised query, highest score first; equal scores keep the
// candidates' order.
std::vector<Ranked> rank(std::string_view query, std::span<const Candidate> candidates);

}  // namespace velmora::SpaceSearch
