#include "switching/space_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "golden.h"

namespace velmora {
namespace {

using namespace SpaceSearch;

std::string scoreName(std::optional<int> score) {
  switch (score.value_or(-1)) {
    case Score::kExactName:
      return "exact name";
    case Score::kNamePrefix:
      return "name prefix";
    case Score::kWordPrefix:
      return "word prefix";
    case Score::kSubstring:
      return "substring";
    case Score::kNumber:
      return "number";
    case Score::kApplication:
      return "application";
    case Score::kInOrderLetters:
      return "letters in order";
    case -1:
      return "no match";
  }
  return std::to_string(*score);
}

// What a typed query scores against a desktop's name, number and applications, one case a
// line: the strongest way of matching decides, numbers match through the title first, case
// is ignored but accents are not, emoji and ideographs are whole characters.
TEST(SpaceSearchTest, QueriesScoreAsTheirGolden) {
  struct Case {
    std::string typed, name;
    int number = 1;
    std::vector<std::string> apps;
  };
  const std::vector<Case> cases = {{"mail", "Mail"},
                                   {"mail", "Mail Archive"},
                                   {"arch", "Mail Archive"},
                                   {"arch", "Mail  Archive "},
                                   {"chi", "Mail Archive"},
                                   {"mail", "Email"},
                                   {"mail ar", "My Mail Archive"},
                                   {"saf", "Work", 2, {"Mail", "SAFARI"}},
                                   {"mlb", "Mail Box"},
                                   {"mlz", "Mail Box"},
                                   {"lm", "Mail Box"},
                                   {"ari", "Work", 2, {"Safari"}},
                                   {"mail", "Mail", 1, {"Mail"}},
                                   {"m", "Work", 1, {"Mail"}},
                                   {"3", "Desktop 3", 3},
                                   {"desk", "Desktop 3", 3},
                                   {"3", "Work", 3},
                                   {"desktop 1", "Work", 12},
                                   {"Desktop 12", "Work", 12},
                                   {"12", "Work", 12},
                                   {"1", "Work", 12},
                                   {"12", "Room 12", 12},
                                   {"MAIL", "mail"},
                                   {"ärz", "ÄRZTE"},
                                   {"моск", "Москва"},
                                   {"Café", "CAFÉ"},
                                   {"café", "Cafe\u0301"},
                                   {"cafe", "Café"},
                                   {"e", "Cafe\u0301"},
                                   {"東京", "東京オフィス"},
                                   {"オフィス", "東京オフィス"},
                                   {"東オ", "東京オフィス"},
                                   {"🚀", "🚀 Launch"},
                                   {"launch", "🚀 Launch"},
                                   {"👍🏽", "👍🏽 Team"},
                                   {"👍", "👍🏽 Team"},
                                   {"👩", "Home 👨‍👩‍👧"},
                                   {"h👨‍👩‍👧", "Home 👨‍👩‍👧"},
                                   {"   ", "Mail", 1, {"Mail"}}};
  std::string out;
  for (const Case& c : cases) {
    out += "\"" + testing::escaped(c.typed) + "\" in \"" + testing::escaped(c.name) + "\" #" +
           std::to_string(c.number);
    for (const std::string& app : c.apps) out += " " + app;
    out += " -> " + scoreName(score(normalize(c.typed), c.name, c.number, c.apps)) + "\n";
  }
  EXPECT_TRUE(testing::matchesGolden("switching/search_scores.txt", out));
}

TEST(SpaceSearchTest, NormalizeTrimsAnyWhiteSpaceAndLowerCases) {
  EXPECT_EQ(normalize("  Mail Archive\t\n"), "mail archive");
  EXPECT_EQ(normalize("\u00a0\u3000東京\u3000"), "東京");  // no-break and ideographic spaces
  EXPECT_EQ(normalize("ÄRZTE"), "ärzte");
  EXPECT_EQ(normalize("МОСКВА"), "москва");
  EXPECT_EQ(normalize("Cafe\u0301"), "café");  // one composed form, accent kept
  EXPECT_EQ(normalize(" \t "), "");
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
  EXPECT_TRUE(rank("", desktops).empty());
  EXPECT_EQ(score("", "", 1, {}), std::nullopt);
}

}  // namespace
}  // namespace velmora
