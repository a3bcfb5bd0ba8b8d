// The quick switcher's rows and highlight: what an empty query selects, how a mixed query
// ranks and which application a row found through one brings forward, how the highlight
// moves by keys and by the pointer, and queries and names nobody planned for.
#include "switching/switcher_model.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace velmora {
namespace {

// Desktops by title, numbered 1, 2, … in the order given unless a number is given.
struct Desktops {
  std::vector<Desktop> list;
  std::map<SpaceID, std::string> titles;
  SwitcherModel::AppsMap apps;

  SpaceID add(const std::string& title, std::vector<std::string> appNames = {}, int number = 0) {
    Desktop d;
    d.space.id = SpaceID(100 + list.size());
    d.number = number ? number : static_cast<int>(list.size()) + 1;
    titles[d.id()] = title;
    for (const std::string& name : appNames) apps[d.id()].push_back(SpaceApp{401, name, {}, {}});
    list.push_back(d);
    return d.id();
  }
  SwitcherModel model(std::optional<SpaceID> current = {}, std::optional<SpaceID> last = {}) {
    SwitcherModel m([this](const Desktop& d) { return titles.at(d.id()); });
    m.load(list, apps, current, last);
    return m;
  }
  // The rows' titles, the highlighted one in brackets, and what a row found through an
  // application brings forward: "[Web > Safari], Notes".
  std::string shown(const SwitcherModel& m) const {
    std::string out;
    for (std::size_t i = 0; i < m.rows().size(); ++i) {
      std::string row = titles.at(m.rows()[i].id());
      if (auto app = m.openingApp(m.rows()[i])) row += " > " + app->name;
      out += (out.empty() ? "" : ", ") + (i == m.selection() ? "[" + row + "]" : row);
    }
    return out;
  }
};

TEST(SwitcherModel, NothingTypedSelectsWhereJumpBackGoesElseTheFirstDesktopNotCurrent) {
  Desktops d;
  SpaceID one = d.add("One"), two = d.add("Two"), three = d.add("Three");
  SwitcherModel m = d.model(one, three);
  int changes = 0;
  Connection counted = m.changed().connect([&] { ++changes; });
  m.update("");
  EXPECT_EQ(d.shown(m), "One, Two, [Three]");
  m.update("t");  // typing selects the best match…
  EXPECT_EQ(d.shown(m), "[Two], Three");
  m.update("  ");  // …and clearing the field goes back
  EXPECT_EQ(d.shown(m), "One, Two, [Three]");
  EXPECT_EQ(changes, 3);

  m = d.model(one, SpaceID(999));  // jump back leads to a desktop that is gone
  m.update("");
  EXPECT_EQ(d.shown(m), "One, [Two], Three");
  m = d.model(two);
  m.update("");
  EXPECT_EQ(d.shown(m), "[One], Two, Three");
  Desktops alone;
  SpaceID only = alone.add("Only");
  m = alone.model(only);
  m.update("");
  EXPECT_EQ(alone.shown(m), "[Only]");
  m = Desktops().model();
  m.update("");
  EXPECT_EQ(m.selectedRow(), std::nullopt);
}

// "12" meets each rule once; the desktops come in an order unlike the ranking, and two names
// that begin with it keep theirs.
TEST(SwitcherModel, AMixedQueryRanksByHowEachDesktopMatches) {
  Desktops d;
  d.add("1 to 2");
  d.add("Home", {"Mail", "12 Clocks", "12 Timers"});
  d.add("A12B");
  d.add("12 Monkeys");
  d.add("Room 12");
  d.add("Work", {"12 Clocks"}, 12);
  d.add("12");
  d.add("Elsewhere");
  d.add("12 Angry Men");
  SwitcherModel m = d.model();
  m.update("12");
  EXPECT_EQ(d.shown(m),
            "[12], 12 Monkeys, 12 Angry Men, Room 12, A12B, Work, Home > 12 Clocks, 1 to 2");
  std::vector<int> scores;
  for (std::size_t i = 0; i < m.rows().size(); ++i) scores.push_back(*m.scoreOf(i));
  EXPECT_EQ(scores, (std::vector<int>{100, 80, 80, 60, 40, 30, 25, 10}));
  m.update("12 t");  // the first application that begins with the query is the one
  EXPECT_EQ(d.shown(m), "[Home > 12 Timers]");
  m.update("");
  EXPECT_TRUE(m.openingApps().empty());
}

TEST(SwitcherModel, TheHighlightWrapsAndFollowsThePointerOnlyWhenAllowed) {
  Desktops d;
  for (const char* title : {"A", "B", "C", "D"}) d.add(title);
  SwitcherModel m = d.model();
  m.update("");
  std::vector<std::size_t> seen;
  for (int delta : {-1, 1, 6, -11}) {
    m.move(delta);
    seen.push_back(m.selection());
  }
  EXPECT_EQ(seen, (std::vector<std::size_t>{3, 0, 2, 3}));

  bool allowed = false;
  m.hover(1);  // nobody said yet whether the pointer may
  m.setHoverAllowed([&] { return allowed; });
  m.hover(1);
  EXPECT_EQ(m.selection(), 3u);
  allowed = true;
  m.hover(1);
  m.hover(7);  // below the last row
  EXPECT_EQ(m.selection(), 1u);

  m.update("zzz");  // nothing to move to
  m.move(1);
  EXPECT_EQ(m.selectedRow(), std::nullopt);
}

// What a person may type or paste, and names nobody planned for: the rows stay sensible.
TEST(SwitcherModel, OddQueriesAndTitlesGiveSensibleRows) {
  Desktops d;
  d.add("");
  d.add(std::string(2000, 'w') + " end");
  d.add("👩🏽‍💻 Code");
  d.add("עבודה");
  d.add("Cafe\u0301");
  SwitcherModel m = d.model();
  std::vector<std::string> seen;
  for (const std::string& query :
       {std::string(10000, 'w'), std::string(300, 'w'), std::string(" \t\u00a0\n"),
        std::string("👩🏽‍💻"), std::string("👩"), std::string("עבו"), std::string("café"),
        std::string("end")}) {
    m.update(query);
    // How many rows, and the first one's desktop number.
    seen.push_back(std::to_string(m.rows().size()) +
                   (m.rows().empty() ? "" : " #" + std::to_string(m.rows()[0].number)));
  }
  EXPECT_EQ(seen,
            (std::vector<std::string>{"0", "1 #2", "5 #1", "1 #3", "0", "1 #4", "1 #5", "1 #2"}));
}

}  // namespace
}  // namespace velmora
