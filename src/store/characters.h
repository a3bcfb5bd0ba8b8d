#pragma once
// Characters as a person counts them: grapheme clusters, found by ICU's rules. An emoji with
// its modifiers, a letter with its accents and CR LF each count once.

#include <unicode/brkiter.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// This thread's character break iterator (creating one loads rules, so each thread keeps
// one), or nullptr when ICU cannot make it. It keeps the last text it was given: hand it
// fresh text before every use.
icu::BreakIterator* characterBreaks();

// The number of characters of UTF-8 text; ill-formed bytes count as one character each.
std::size_t characterCount(std::string_view utf8);

// The first character of UTF-8 text (empty for empty text); an ill-formed first byte alone.
std::string firstCharacter(std::string_view utf8);

}  // namespace velmora
