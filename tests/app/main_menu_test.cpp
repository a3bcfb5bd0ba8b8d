#include "app/main_menu.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(MainMenu, GivesTheSettingsWindowItsKeys) {
  MainMenu menu = MainMenu::standard();
  const MenuItem* settings = menu.item("Velmora", "Settings…");
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(settings->keyEquivalent, ",");
  EXPECT_EQ(settings->modifiers, (KeyModifiers{true, false}));
  EXPECT_EQ(settings->action, "showSettingsFromMenu");
  EXPECT_EQ(settings->target, MenuTarget::delegate);

  const MenuItem* quit = menu.item("Velmora", "Quit Velmora");
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(quit->action, "terminate:");
  EXPECT_EQ(quit->target, MenuTarget::application);

  // ⌘Z undoes, ⇧⌘Z redoes.
  const MenuItem* undo = menu.item("Edit", "Undo");
  const MenuItem* redo = menu.item("Edit", "Redo");
  ASSERT_NE(undo, nullptr);
  ASSERT_NE(redo, nullptr);
  EXPECT_EQ(undo->modifiers, (KeyModifiers{true, false}));
  EXPECT_EQ(redo->keyEquivalent, "Z");
  EXPECT_EQ(redo->modifiers, (KeyModifiers{true, true}));
  EXPECT_EQ(redo->action, "redo:");
  EXPECT_EQ(redo->target, MenuTarget::firstResponder);
}

TEST(MainMenu, SeparatorsSplitQuitAndTheClipboard) {
  MainMenu menu = MainMenu::standard();
  ASSERT_EQ(menu.menus.size(), 3u);
  auto titles = [](const Menu& m) {
    std::vector<std::string> out;
    for (const MenuItem& i : m.items) out.push_back(i.separator ? "-" : i.title);
    return out;
  };
  EXPECT_EQ(titles(menu.menus[0]), (std::vector<std::string>{"Settings…", "-", "Quit Velmora"}));
  EXPECT_EQ(titles(menu.menus[1]),
            (std::vector<std::string>{"Undo", "Redo", "-", "Cut", "Copy", "Paste", "Select All"}));
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
