#include "store/space_icon.h"

#include <gtest/gtest.h>

#include <string>

#include "golden.h"
#include "store/text.h"

namespace velmora {
namespace {

using namespace std::string_literals;

// Stored icon forms, one a line with the icon they read as and its stored form again:
// prefixes match exactly and keep the rest verbatim; anything else is an emoji choice
// keeping the first two emoji in order, where sequences, flags and skin tones are one
// character, low symbols count only with emoji presentation, and ill-formed bytes are
// skipped around the emoji. Parsing the stored form again gives the same icon.
TEST(SpaceIconTest, StoredFormsParseAsTheirGolden) {
  const std::string family = "👨\u200D👩\u200D👧\u200D👦", rainbow = "🏳\uFE0F\u200D🌈";
  const std::string japan = "🇯🇵", france = "🇫🇷", thumb = "👍🏽", wave = "👋🏿";
  static constexpr const char* kKinds[] = {"none", "symbol", "emoji", "picture"};
  std::string out;
  for (const std::string& sample : {"sf:house.fill"s,
                                    "sf:"s,
                                    "sf:sf:🚀"s,
                                    "img:space-7-1.png"s,
                                    "img:"s,
                                    ""s,
                                    "SF:house.fill"s,
                                    "img"s,
                                    "img:a b.png"s,
                                    "Work"s,
                                    "🚀🔥🌈a"s,
                                    "Work 💼 and 🎧!"s,
                                    "0123456789#*©®™"s,
                                    "1\uFE0F\u20E3"s,
                                    "⌚"s,
                                    "☀x❤\uFE0F"s,
                                    family + japan + france,
                                    japan + france + "🇩🇪",
                                    rainbow + "!" + family,
                                    thumb + "x" + wave + "🎉",
                                    "🇯x🇵x🇫"s,
                                    "\xF0\x9F\x9A🚀\xFF🔥"s,
                                    "\xC0\xAF\xED\xA0\x80\xF0\x9F"s,
                                    "\0🎯\0"s,
                                    "\u200D😀\u200D"s}) {
    SpaceIcon icon = SpaceIcon::parse(sample);
    out += "\"" + testing::escaped(sample) + "\" -> " + kKinds[static_cast<int>(icon.kind())] +
           " \"" + testing::escaped(icon.payload()) + "\", stored \"" +
           testing::escaped(icon.stored()) + "\"\n";
    EXPECT_EQ(SpaceIcon::parse(icon.stored()), icon) << testing::escaped(sample);
  }
  EXPECT_TRUE(testing::matchesGolden("store/space_icons.txt", out));
}

TEST(SpaceIconTest, KindsStayApartAndPrefixesCountWholeEmoji) {
  EXPECT_NE(SpaceIcon::symbol("star"), SpaceIcon::picture("star"));
  EXPECT_NE(SpaceIcon::symbol(""), SpaceIcon::none());
  EXPECT_EQ(emojiPrefix("🚀🔥🌈", 3), "🚀🔥🌈");
  EXPECT_EQ(emojiPrefix("🚀🔥🌈", 1), "🚀");
  EXPECT_EQ(emojiPrefix("👍🏽👋🏿", 1), "👍🏽");
}

TEST(Text, SentencesBeginWithTheirFirstCharacterInUpperCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"the disk is full", "The disk is full"},
      {"échec de la copie", "Échec de la copie"},
      {"ǆungla", "ǅungla"},  // a digraph takes its title-case form, not its capital one
      {"ßtraße", "Sstraße"},
      {"42 files", "42 files"},
      {"", ""},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(upperCasedFirst(text), expected) << text;
}

}  // namespace
}  // namespace velmora
