#include "switching/space_search.h"

#include <gtest/gtest.h>

#include <sstream>
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
// line. Each case is "typed|name|number|applications…".
TEST(SpaceSearchTest, QueriesScoreAsTheirGolden) {
  std::string out;
  for (std::string c :
       {// The strongest way of matching decides; applications match by prefix only.
        "mail|Mail|1", "mail|Mail Archive|1", "arch|Mail Archive|1", "arch|Mail  Archive |1",
        "chi|Mail Archive|1", "mail|Email|1", "mail ar|My Mail Archive|1", "saf|Work|2|Mail|SAFARI",
        "mlb|Mail Box|1", "mlz|Mail Box|1", "lm|Mail Box|1", "ari|Work|2|Safari",
        "mail|Mail|1|Mail", "m|Work|1|Mail", "   |Mail|1|Mail",
        // Numbers match through the title first.
        "3|Desktop 3|3", "desk|Desktop 3|3", "3|Work|3", "desktop 1|Work|12", "Desktop 12|Work|12",
        "12|Work|12", "1|Work|12", "12|Room 12|12",
        // Case is ignored but accents are not.
        "MAIL|mail|1", "ärz|ÄRZTE|1", "моск|Москва|1", "Café|CAFÉ|1", "café|Cafe\u0301|1",
        "cafe|Café|1", "e|Cafe\u0301|1",
        // Emoji and ideographs are whole characters.
        "東京|東京オフィス|1", "オフィス|東京オフィス|1", "東オ|東京オフィス|1", "🚀|🚀 Launch|1",
        "launch|🚀 Launch|1", "👍🏽|👍🏽 Team|1", "👍|👍🏽 Team|1",
        "👩|Home 👨‍👩‍👧|1", "h👨‍👩‍👧|Home 👨‍👩‍👧|1"}) {
    std::vector<std::string> part;
    std::istringstream in(c);
    for (std::string p; std::getline(in, p, '|');) part.push_back(p);
    const std::vector<std::string> apps(part.begin() + 3, part.end());
    out += testing::escaped(c) + " -> " +
           scoreName(score(normalize(part[0]), part[1], std::stoi(part[2]), apps)) + "\n";
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
