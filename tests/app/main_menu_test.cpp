#include "app/main_menu.h"

#include <gtest/gtest.h>

#include "golden.h"

namespace velmora {
namespace {

// The standard main menu: Settings… on ⌘, for the delegate, Quit for the application after a
// separator, and the Edit menu's undo, redo and clipboard items for the focused field.
TEST(MainMenu, ItemsKeysAndActionsAsTheirGolden) {
  const MainMenu standard = MainMenu::standard();
  std::string out;
  for (const Menu& menu : standard.menus)
    out += "== " + menu.title + "\n" + testing::menuText(menu);
  EXPECT_TRUE(testing::matchesGolden("app/main_menu.txt", out));
  const MenuItem* redo = standard.item("Edit", "Redo");
  ASSERT_NE(redo, nullptr);
  EXPECT_EQ(redo->keyEquivalent, "Z");
  EXPECT_EQ(standard.item("Edit", "Quit Velmora"), nullptr);
}

TEST(SettingsPage, IdsAreMatchedWithoutRegardToCase) {
  EXPECT_EQ(settingsPageWithID("timeTracking"), SettingsPage::timeTracking);
  EXPECT_EQ(settingsPageWithID("TimeTracking"), SettingsPage::timeTracking);
  EXPECT_EQ(settingsPageWithID("MISSIONCONTROL"), SettingsPage::missionControl);
  // The Kelvin sign lower-cases to a plain k.
  EXPECT_EQ(settingsPageWithID("timetrac\u212Aing"), SettingsPage::timeTracking);
  EXPECT_EQ(settingsPageWithID("colors"), std::nullopt);
  EXPECT_EQ(settingsPageWithID(""), std::nullopt);
  EXPECT_EQ(settingsPageWithID(" general"), std::nullopt);

  std::vector<std::string_view> ids;
  for (SettingsPage page : kSettingsPages) {
    ids.push_back(settingsPageID(page));
    EXPECT_EQ(settingsPageWithID(settingsPageID(page)), page);
  }
  EXPECT_EQ(ids,
            (std::vector<std::string_view>{"spaces", "missionControl", "switchTag", "spaceHover",
                                           "shortcuts", "timeTracking", "general", "about"}));
}

}  // namespace
}  // namespace velmora
