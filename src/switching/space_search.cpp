#include "switching/space_search.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utext.h>

#include <algorithm>
#include <climits>

#include "store/characters.h"

namespace velmora::SpaceSearch {
namespace {

icu::UnicodeString fromUTF8(std::string_view utf8) {
  auto length = static_cast<int32_t>(std::min<std::size_t>(utf8.size(), INT32_MAX));
  return icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), length));
}

// Lower-cased and canonically composed, so a name typed with a combining accent and one with
// the precomposed letter compare equal.
std::string folded(icu::UnicodeString text) {
  text.toLower(icu::Locale::getRoot());
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_SUCCESS(status)) {
    icu::UnicodeString composed = nfc->normalize(text, status);
    if (U_SUCCESS(status)) text = composed;
  }
  std::string utf8;
  text.toUTF8String(utf8);
  return utf8;
}

// Text with the byte offsets where its characters begin, its length last.
struct Characters {
  std::string text;
  std::vector<std::size_t> starts;

  explicit Characters(std::string utf8) : text(std::move(utf8)) {
    UErrorCode status = U_ZERO_ERROR;
    icu::LocalUTextPointer ut(
        utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status));
    icu::BreakIterator* breaks = characterBreaks();
    if (breaks && U_SUCCESS(status)) breaks->setText(ut.getAlias(), status);
    if (!breaks || U_FAILURE(status)) {
      // Without ICU's rules every byte stands alone: plain byte comparison.
      for (std::size_t at = 0; at <= text.size(); ++at) starts.push_back(at);
      return;
    }
    for (int32_t at = breaks->first(); at != icu::BreakIterator::DONE; at = breaks->next()) {
      starts.push_back(static_cast<std::size_t>(at));
    }
  }

  std::size_t count() const { return starts.size() - 1; }
  std::string_view character(std::size_t i) const {
    return std::string_view(text).substr(starts[i], starts[i + 1] - starts[i]);
  }
  bool isBoundary(std::size_t offset) const {
    return std::binary_search(starts.begin(), starts.end(), offset);
  }
  // Whether whole characters starting at `offset` (a boundary) spell `query`.
  bool spellsAt(std::size_t offset, std::string_view query) const {
    return text.size() - offset >= query.size() &&
           std::string_view(text).substr(offset, query.size()) == query &&
           isBoundary(offset + query.size());
  }
};

bool startsAWord(const Characters& name, std::string_view query) {
  for (std::size_t i = 0; i < name.count(); ++i) {
    if (name.character(i) == " ") continue;
    std::size_t end = i;
    while (end < name.count() && name.character(end) != " ") ++end;
    std::size_t begin = name.starts[i];
    if (name.starts[end] - begin >= query.size() && name.spellsAt(begin, query)) return true;
    i = end;
  }
  return false;
}

bool containsAnywhere(const Characters& name, std::string_view query) {
  for (std::size_t i = 0; i < name.count(); ++i) {
    if (name.spellsAt(name.starts[i], query)) return true;
  }
  return false;
}

bool matchesNumber(int number, std::string_view query) {
  std::string digits = std::to_string(number);
  return digits == query || ("desktop " + digits).starts_with(query);
}

bool hasLettersInOrder(const Characters& name, std::string_view query) {
  Characters wanted{std::string(query)};
  std::size_t next = 0;
  for (std::size_t i = 0; i < name.count() && next < wanted.count(); ++i) {
    if (name.character(i) == wanted.character(next)) ++next;
  }
  return next == wanted.count();
}

}  // namespace

std::string normalize(std::string_view text) {
  icu::UnicodeString s = fromUTF8(text);
  int32_t begin = 0, end = s.length();
  while (begin < end && u_isUWhiteSpace(s.char32At(begin))) begin = s.moveIndex32(begin, 1);
  while (end > begin) {
    int32_t last = s.moveIndex32(end, -1);
    if (!u_isUWhiteSpace(s.char32At(last))) break;
    end = last;
  }
  return folded(s.tempSubStringBetween(begin, end));
}

std::optional<int> score(std::string_view query, std::string_view name, int number,
                         std::span<const std::string> applicationNames) {
  if (query.empty()) return std::nullopt;
  Characters n{folded(fromUTF8(name))};

  if (n.text == query) return Score::kExactName;
  if (n.spellsAt(0, query)) return Score::kNamePrefix;
  if (startsAWord(n, query)) return Score::kWordPrefix;
  if (containsAnywhere(n, query)) return Score::kSubstring;
  if (matchesNumber(number, query)) return Score::kNumber;
  for (const std::string& application : applicationNames) {
    if (matchesApplication(query, application)) return Score::kApplication;
  }
  if (hasLettersInOrder(n, query)) return Score::kInOrderLetters;
  return std::nullopt;
}

bool matchesApplication(std::string_view query, std::string_view applicationName) {
  return !query.empty() && Characters{folded(fromUTF8(applicationName))}.spellsAt(0, query);
}

std::vector<Ranked> rank(std::string_view query, std::span<const Candidate> candidates) {
  std::vector<Ranked> ranked;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const Candidate& c = candidates[i];
    if (auto s = score(query, c.name, c.number, c.applicationNames)) ranked.push_back({i, *s});
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const Ranked& a, const Ranked& b) { return a.score > b.score; });
  return ranked;
}

}  // namespace velmora::SpaceSearch
