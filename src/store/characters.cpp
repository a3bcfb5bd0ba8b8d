#include "store/characters.h"

#include <unicode/unistr.h>

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

}  // namespace velmora
