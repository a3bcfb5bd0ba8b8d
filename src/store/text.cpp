#include "store/text.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <charconv>

namespace velmora {

namespace {

bool isWhitespaceOrNewline(UChar32 c) {
  if ((c >= 0x09 && c <= 0x0D) || c == 0x85) return true;
  auto type = u_charType(c);
  return type == U_SPACE_SEPARATOR || type == U_LINE_SEPARATOR || type == U_PARAGRAPH_SEPARATOR;
}

}  // namespace

std::string decodeUTF8Lossy(std::string_view bytes) {
  std::string out;
  icu::UnicodeString::fromUTF8(icu::StringPiece(bytes.data(), static_cast<int32_t>(bytes.size())))
      .toUTF8String(out);
  return out;
}

std::string upperCasedFirst(std::string_view utf8) {
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(
      icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
  if (text.isEmpty()) return std::string(utf8);
  int32_t end = text.moveIndex32(0, 1);
  icu::UnicodeString first(text, 0, end);
  first.toTitle(nullptr, icu::Locale::getRoot(),
                U_TITLECASE_NO_LOWERCASE | U_TITLECASE_NO_BREAK_ADJUSTMENT);
  std::string out;
  (first + icu::UnicodeString(text, end)).toUTF8String(out);
  return out;
}

std::string trimmedWhitespaceAndNewlines(std::string_view utf8) {
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(
      icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
  int32_t start = 0;
  int32_t end = text.length();
  while (start < end && isWhitespaceOrNewline(text.char32At(start))) {
    start = text.moveIndex32(start, 1);
  }
  while (end > start) {
    int32_t before = text.moveIndex32(end, -1);
    if (!isWhitespaceOrNewline(text.char32At(before))) break;
    end = before;
  }
  std::string out;
  text.tempSubStringBetween(start, end).toUTF8String(out);
  return out;
}

std::optional<long long> parseDecimalInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  // Parsed with the sign so the most negative value fits.
  std::string digits = (negative ? "-" : "") + std::string(text);
  long long value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

std::string joined(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& part : parts) {
    if (!out.empty()) out += ' ';
    out += part;
  }
  return out;
}

std::string decimal(double v) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
  if (ec != std::errc()) return "nan";
  std::string text(buffer, end);
  if (text.find_first_of(".eni") == std::string::npos) text += ".0";
  return text;
}

}  // namespace velmora
