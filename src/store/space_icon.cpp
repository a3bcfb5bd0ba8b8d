#include "store/space_icon.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <memory>

#include "store/characters.h"

namespace velmora {

namespace {

constexpr std::string_view kSymbolPrefix = "sf:";
constexpr std::string_view kPicturePrefix = "img:";

// Digits, '#', '*' and the other low symbols carry the Emoji property only because they can
// start a keycap sequence; on their own they are text, so only scalars past U+238C count.
bool isEmojiScalar(UChar32 c) {
  return u_hasBinaryProperty(c, UCHAR_EMOJI_PRESENTATION) ||
         (c > 0x238C && u_hasBinaryProperty(c, UCHAR_EMOJI));
}

bool clusterHasEmoji(const icu::UnicodeString& text, int32_t start, int32_t end) {
  for (int32_t i = start; i < end;) {
    UChar32 c = text.char32At(i);
    if (isEmojiScalar(c)) return true;
    i += U16_LENGTH(c);
  }
  return false;
}

}  // namespace

std::string emojiPrefix(std::string_view text, int limit) {
  std::string kept;
  if (limit <= 0 || text.empty()) return kept;
  icu::BreakIterator* breaks = characterBreaks();
  if (!breaks) return kept;

  // Ill-formed UTF-8 turns into U+FFFD here, which is not an emoji and so is dropped.
  icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  breaks->setText(unicode);

  icu::UnicodeString retained;
  int taken = 0;
  for (int32_t start = breaks->first(), end = breaks->next();
       end != icu::BreakIterator::DONE && taken < limit; start = end, end = breaks->next()) {
    if (!clusterHasEmoji(unicode, start, end)) continue;
    retained.append(unicode, start, end - start);
    ++taken;
  }
  retained.toUTF8String(kept);
  return kept;
}

SpaceIcon SpaceIcon::emoji(std::string_view text) {
  std::string kept = emojiPrefix(text, 2);
  if (kept.empty()) return none();
  return {Kind::Emoji, std::move(kept)};
}

SpaceIcon SpaceIcon::parse(std::string_view stored) {
  if (stored.empty()) return none();
  if (stored.starts_with(kSymbolPrefix)) {
    return symbol(std::string(stored.substr(kSymbolPrefix.size())));
  }
  if (stored.starts_with(kPicturePrefix)) {
    return picture(std::string(stored.substr(kPicturePrefix.size())));
  }
  return emoji(stored);
}

std::string SpaceIcon::stored() const {
  switch (kind_) {
    case Kind::Symbol:
      return std::string(kSymbolPrefix) + payload_;
    case Kind::Picture:
      return std::string(kPicturePrefix) + payload_;
    case Kind::Emoji:
      return payload_;
    case Kind::None:
      break;
  }
  return {};
}

}  // namespace velmora
