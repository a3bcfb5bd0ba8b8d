#include "store/space_icon.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

using namespace std::string_literals;

TEST(SpaceIconTest, PrefixedFormsKeepTheRestVerbatim) {
  EXPECT_EQ(SpaceIcon::parse("sf:house.fill"), SpaceIcon::symbol("house.fill"));
  EXPECT_EQ(SpaceIcon::parse("sf:"), SpaceIcon::symbol(""));
  EXPECT_EQ(SpaceIcon::parse("sf:sf:🚀"), SpaceIcon::symbol("sf:🚀"));
  EXPECT_EQ(SpaceIcon::parse("img:space-7-1.png"), SpaceIcon::picture("space-7-1.png"));
  EXPECT_EQ(SpaceIcon::parse("img:"), SpaceIcon::picture(""));
  EXPECT_EQ(SpaceIcon::parse(""), SpaceIcon::none());
  // Prefixes match exactly; anything else is an emoji choice, here with no emoji in it.
  EXPECT_EQ(SpaceIcon::parse("SF:house.fill"), SpaceIcon::none());
  EXPECT_EQ(SpaceIcon::parse("img"), SpaceIcon::none());

  EXPECT_EQ(SpaceIcon::symbol("").stored(), "sf:");
  EXPECT_EQ(SpaceIcon::picture("a.png").stored(), "img:a.png");
  EXPECT_EQ(SpaceIcon::none().stored(), "");
  EXPECT_NE(SpaceIcon::symbol("star"), SpaceIcon::picture("star"));
  EXPECT_NE(SpaceIcon::symbol(""), SpaceIcon::none());
}

TEST(SpaceIconTest, EmojiChoiceKeepsTheFirstTwoEmojiInOrder) {
  SpaceIcon icon = SpaceIcon::parse("🚀🔥🌈a");
  EXPECT_EQ(icon.kind(), SpaceIcon::Kind::Emoji);
  EXPECT_EQ(icon.payload(), "🚀🔥");
  EXPECT_EQ(icon.stored(), "🚀🔥");
  EXPECT_EQ(SpaceIcon::parse("Work 💼 and 🎧!").payload(), "💼🎧");
  EXPECT_EQ(SpaceIcon::parse("Work"), SpaceIcon::none());
  EXPECT_EQ(emojiPrefix("🚀🔥🌈", 3), "🚀🔥🌈");
  EXPECT_EQ(emojiPrefix("🚀🔥🌈", 1), "🚀");
}

TEST(SpaceIconTest, LowSymbolsCountOnlyWithEmojiPresentation) {
  EXPECT_EQ(SpaceIcon::parse("0123456789#*©®™"), SpaceIcon::none());
  // A keycap is a digit and combining marks, none of them above U+238C.
  EXPECT_EQ(SpaceIcon::parse("1\uFE0F\u20E3"), SpaceIcon::none());
  EXPECT_EQ(SpaceIcon::parse("⌚").payload(), "⌚");  // U+231A, shown as emoji by default
  EXPECT_EQ(SpaceIcon::parse("☀x❤\uFE0F").payload(), "☀❤\uFE0F");
}

TEST(SpaceIconTest, SequencesFlagsAndSkinTonesCountAsOneCharacter) {
  const std::string family = "👨\u200D👩\u200D👧\u200D👦", rainbow = "🏳\uFE0F\u200D🌈";
  const std::string japan = "🇯🇵", france = "🇫🇷", thumb = "👍🏽", wave = "👋🏿";
  EXPECT_EQ(SpaceIcon::parse(family + japan + france).payload(), family + japan);
  EXPECT_EQ(SpaceIcon::parse(japan + france + "🇩🇪").payload(), japan + france);
  EXPECT_EQ(SpaceIcon::parse(rainbow + "!" + family).payload(), rainbow + family);
  EXPECT_EQ(SpaceIcon::parse(thumb + "x" + wave + "🎉").payload(), thumb + wave);
  EXPECT_EQ(emojiPrefix(thumb + wave, 1), thumb);
}

TEST(SpaceIconTest, IllFormedTextIsSafeAndKeepsTheEmojiAroundIt) {
  // A cut-off sequence, a stray byte, an overlong form, an encoded surrogate, NUL bytes.
  EXPECT_EQ(SpaceIcon::parse("\xF0\x9F\x9A🚀\xFF🔥").payload(), "🚀🔥");
  EXPECT_EQ(SpaceIcon::parse("\xC0\xAF\xED\xA0\x80\xF0\x9F"), SpaceIcon::none());
  EXPECT_EQ(SpaceIcon::parse("\0🎯\0"s).payload(), "🎯");
}

TEST(SpaceIconTest, ParsingTheStoredFormGivesTheSameIcon) {
  for (std::string sample : {"", "sf:", "img:a b.png", "Work", "🚀🔥🌈", "🇯x🇵x🇫", "👍🏽👋🏿",
                             "\xF0\x9F\x9A🚀", "\u200D😀\u200D"}) {
    SpaceIcon icon = SpaceIcon::parse(sample);
    EXPECT_EQ(SpaceIcon::parse(icon.stored()), icon) << sample;
  }
}

}  // namespace
}  // namespace velmora
