#include "store/characters.h"

#include <unicode/unistr.h>
#include <unicode/utext.h>

#include <memory>

namespace velmora {

icu::BreakIterator* characterBreaks() {
  thread_local std::unique_ptr<icu::BreakIterator> breaks = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> made(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) made.reset();
    return made;
  }();
  return breaks.get();
}

std::size_t characterCount(std::string_view utf8) {
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(
      icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
  icu::BreakIterator* breaks = characterBreaks();
  if (!breaks) return static_cast<std::size_t>(text.countChar32());
  breaks->setText(text);
  std::size_t count = 0;
  for (breaks->first(); breaks->next() != icu::BreakIterator::DONE;) ++count;
  return count;
}

std::string firstCharacter(std::string_view utf8) {
  if (utf8.empty()) return {};
  icu::BreakIterator* breaks = characterBreaks();
  UErrorCode status = U_ZERO_ERROR;
  icu::LocalUTextPointer text(
      utext_openUTF8(nullptr, utf8.data(), static_cast<int64_t>(utf8.size()), &status));
  if (!breaks || U_FAILURE(status)) return std::string(utf8.substr(0, 1));
  breaks->setText(text.getAlias(), status);
  if (U_FAILURE(status)) return std::string(utf8.substr(0, 1));
  breaks->first();
  int32_t end = breaks->next();
  if (end <= 0) return std::string(utf8.substr(0, 1));
  return std::string(utf8.substr(0, static_cast<std::size_t>(end)));
}

}  // namespace velmora
