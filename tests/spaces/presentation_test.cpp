#include "spaces/presentation.h"

#include <gtest/gtest.h>

#include "spaces/presentation_world.h"

namespace velmora {
namespace {

class PresentationTest : public ::testing::Test, public testing::PresentationWorld {};

TEST_F(PresentationTest, PresentationModeHidesNamesButKeepsShortcutsAndTime) {
  Desktop seven = desktop(7, 70);
  EXPECT_EQ(show.title(seven), "Desktop 7");
  EXPECT_FALSE(show.isNamed(seven));
  Hotkey own{35, platform::kControlKey};
  store.update(70, [&](SpaceMeta& m) {
    m.name = "Mail";
    m.icon = SpaceIcon::symbol("envelope.fill");
    m.color = TileColor::palette(6);
    m.hotkey = own;
    m.seconds = 42;
  });
  EXPECT_EQ(show.title(seven), "Mail");
  EXPECT_EQ(show.tint(seven), paletteEntry(6).color);

  settings.setPresenting(true);
  EXPECT_EQ(show.title(seven), "Desktop 7");
  EXPECT_TRUE(show.icon(seven).isNone());
  EXPECT_EQ(show.color(seven), TileColor::automatic());
  EXPECT_EQ(show.tint(seven), paletteEntry(6).color);  // automatic for desktop 7 is entry 6 too
  EXPECT_EQ(show.meta(seven).seconds, 42);
  EXPECT_EQ(show.shortcut(seven), own);
  EXPECT_EQ(show.storedMeta(seven).name, "Mail");
}

TEST_F(PresentationTest, TintsFollowTheColourOrTheNumber) {
  Desktop eleven = desktop(11, 110);
  EXPECT_EQ(show.tint(eleven), paletteEntry(0).color);
  store.update(110, [](SpaceMeta& m) { m.color = TileColor::palette(12); });
  EXPECT_EQ(show.tint(eleven), paletteEntry(2).color);
  store.update(110, [](SpaceMeta& m) { m.color = TileColor::transparent(); });
  EXPECT_TRUE(show.isTransparent(eleven));
  EXPECT_EQ(show.tint(eleven), kTransparentTint);
}

TEST_F(PresentationTest, NumberShortcutsReachDesktopsOneToTen) {
  EXPECT_EQ(show.shortcut(desktop(1, 1)), (Hotkey{18, settings.directJumpModifiers()}));
  EXPECT_EQ(show.shortcut(desktop(10, 10))->keyCode, 29u);  // the 0 key
  EXPECT_FALSE(show.shortcut(desktop(11, 11)));
  settings.setDirectJumpEnabled(false);
  EXPECT_FALSE(show.shortcut(desktop(1, 1)));
}

}  // namespace
}  // namespace velmora
