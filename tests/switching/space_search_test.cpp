#include "switching/space_search.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace velmora::SpaceSearch {
void PrintTo(const Ranked& r, std::ostream* out) {
  *out << "#" << r.index << " scoring " << r.score;
}
}  // namespace velmora::SpaceSearch

namespace velmora {
namespace {

using namespace SpaceSearch;

std::optional<int> scoreOf(std::string_view typed, std::string_view name, int number = 1,
                           std::vector<std::string> apps = {}) {
  return score(normalize(typed), name, number, apps);
}

TEST(SpaceSearchTest, NormalizeTrimsAnyWhiteSpaceAndLowerCases) {
  EXPECT_EQ(normalize("  Mail Archive\t\n"), "mail archive");
  EXPECT_EQ(normalize("\u00a0\u3000東京\u3000"), "東京");  // no-break and ideographic spaces
  EXPECT_EQ(normalize("ÄRZTE"), "ärzte");
  EXPECT_EQ(normalize("МОСКВА"), "москва");
  EXPECT_EQ(normalize("Cafe\u0301"), "café");  // one composed form, accent kept
  EXPECT_EQ(normalize(" \t "), "");
}

TEST(SpaceSearchTest, TheStrongestWayOfMatchingDecides) {
  EXPECT_EQ(scoreOf("mail", "Mail"), Score::kExactName);
  EXPECT_EQ(scoreOf("mail", "Mail Archive"), Score::kNamePrefix);
  EXPECT_EQ(scoreOf("arch", "Mail Archive"), Score::kWordPrefix);
  EXPECT_EQ(scoreOf("arch", "Mail  Archive "), Score::kWordPrefix);
  EXPECT_EQ(scoreOf("chi", "Mail Archive"), Score::kSubstring);
  EXPECT_EQ(scoreOf("mail", "Email"), Score::kSubstring);
  EXPECT_EQ(scoreOf("mail ar", "My Mail Archive"), Score::kSubstring);  // a word ends at a space
  EXPECT_EQ(scoreOf("saf", "Work", 2, {"Mail", "SAFARI"}), Score::kApplication);
  EXPECT_EQ(scoreOf("mlb", "Mail Box"), Score::kInOrderLetters);
  EXPECT_EQ(scoreOf("mlz", "Mail Box"), std::nullopt);
  EXPECT_EQ(scoreOf("lm", "Mail Box"), std::nullopt);              // in order, not just present
  EXPECT_EQ(scoreOf("ari", "Work", 2, {"Safari"}), std::nullopt);  // applications by prefix only

  // A name match outranks the application that would also match.
  EXPECT_EQ(scoreOf("mail", "Mail", 1, {"Mail"}), Score::kExactName);
  EXPECT_EQ(scoreOf("m", "Work", 1, {"Mail"}), Score::kApplication);
}

TEST(SpaceSearchTest, NumbersMatchThroughTheTitleFirst) {
  EXPECT_EQ(scoreOf("3", "Desktop 3", 3), Score::kWordPrefix);
  EXPECT_EQ(scoreOf("desk", "Desktop 3", 3), Score::kNamePrefix);
  EXPECT_EQ(scoreOf("3", "Work", 3), Score::kNumber);
  EXPECT_EQ(scoreOf("desktop 1", "Work", 12), Score::kNumber);
  EXPECT_EQ(scoreOf("Desktop 12", "Work", 12), Score::kNumber);
  EXPECT_EQ(scoreOf("12", "Work", 12), Score::kNumber);
  EXPECT_EQ(scoreOf("1", "Work", 12), std::nullopt);  // a bare number must be the whole number
  EXPECT_EQ(scoreOf("12", "Room 12", 12), Score::kWordPrefix);
}

TEST(SpaceSearchTest, CaseIsIgnoredButAccentsAreNot) {
  EXPECT_EQ(scoreOf("MAIL", "mail"), Score::kExactName);
  EXPECT_EQ(scoreOf("ärz", "ÄRZTE"), Score::kNamePrefix);
  EXPECT_EQ(scoreOf("моск", "Москва"), Score::kNamePrefix);
  EXPECT_EQ(scoreOf("Café", "CAFÉ"), Score::kExactName);
  EXPECT_EQ(scoreOf("café", "Cafe\u0301"), Score::kExactName);  // composed and decomposed
  EXPECT_EQ(scoreOf("cafe", "Café"), std::nullopt);
  EXPECT_EQ(scoreOf("e", "Cafe\u0301"), std::nullopt);  // the e carries its accent
}

TEST(SpaceSearchTest, EmojiAndIdeographsAreWholeCharacters) {
  EXPECT_EQ(scoreOf("東京", "東京オフィス"), Score::kNamePrefix);
  EXPECT_EQ(scoreOf("オフィス", "東京オフィス"), Score::kSubstring);
  EXPECT_EQ(scoreOf("東オ", "東京オフィス"), Score::kInOrderLetters);
  EXPECT_EQ(scoreOf("🚀", "🚀 Launch"), Score::kNamePrefix);
  EXPECT_EQ(scoreOf("launch", "🚀 Launch"), Score::kWordPrefix);
  EXPECT_EQ(scoreOf("👍🏽", "👍🏽 Team"), Score::kNamePrefix);
  // Part of an emoji is not a character of the name.
  EXPECT_EQ(scoreOf("👍", "👍🏽 Team"), std::nullopt);
  EXPECT_EQ(scoreOf("👩", "Home 👨‍👩‍👧"), std::nullopt);
  EXPECT_EQ(scoreOf("h👨‍👩‍👧", "Home 👨‍👩‍👧"), Score::kInOrderLetters);
}

TEST(SpaceSearchTest, AnEmptyQueryMatchesNothing) {
  EXPECT_EQ(score("", "", 1, {}), std::nullopt);
  EXPECT_EQ(score(normalize("   "), "Mail", 1, std::vector<std::string>{"Mail"}), std::nullopt);
  std::vector<Candidate> one{{"Mail", 1, {}}};
  EXPECT_TRUE(rank("", one).empty());
}

TEST(SpaceSearchTest, RankingIsByScoreAndKeepsDesktopOrderAmongEquals) {
  std::vector<std::string> safari{"Safari"};
  std::vector<Candidate> desktops{
      {"Email", 1, {}}, {"Mail Archive", 2, {}}, {"Notes", 3, safari},
      {"Mail", 4, {}},  {"Gmail", 5, {}},        {"Mailroom", 6, {}},
  };
  EXPECT_EQ(rank("mail", desktops),
            (std::vector<Ranked>{{3, 100}, {1, 80}, {5, 80}, {0, 40}, {4, 40}}));
  EXPECT_EQ(rank("sa", desktops), (std::vector<Ranked>{{2, Score::kApplication}}));
}

}  // namespace
}  // namespace velmora
