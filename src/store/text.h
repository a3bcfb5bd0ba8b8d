#pragma once
// Small text rules shared by the accessibility and Dock readers, the desktop editor, the
// diagnostics and the image caches.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Bytes decoded as UTF-8, each ill-formed sequence replaced by U+FFFD.
std::string decodeUTF8Lossy(std::string_view bytes);

// The text without white space and line breaks (Unicode separators, tab, U+000A–U+000D,
// U+0085) at either end.
std::string trimmedWhitespaceAndNewlines(std::string_view utf8);

// The first character in upper case (title case, as a sentence begins: "élan" → "Élan",
// "ǆ" → "ǅ"), the rest as it was.
std::string upperCasedFirst(std::string_view utf8);

// A decimal integer: an optional "+" or "-" and ASCII digits, within 64 bits.
std::optional<long long> parseDecimalInteger(std::string_view text);

// The parts separated by single spaces.
std::string joined(const std::vector<std::string>& parts);

// A number in its shortest form that reads back, always with a fractional part ("1.0",
// "1.5"), as image caches spell scales in their keys.
std::string decimal(double v);

}  // namespace velmora
