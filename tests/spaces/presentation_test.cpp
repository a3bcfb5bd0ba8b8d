#include "spaces/presentation.h"

#include <gtest/gtest.h>

#include "spaces/presentation_world.h"
#include "test_ids.h"

namespace velmora {
namespace {

using namespace velmora::testing;

class PresentationTest : public ::testing::Test, public testing::PresentationWorld {};

TEST_F(PresentationTest, PresentationModeHidesNamesButKeepsShortcutsAndTime) {
  Desktop seven = desktop(7, 70_mid);
  EXPECT_EQ(show.title(seven), "Desktop 7");
  EXPECT_FALSE(show.isNamed(seven));
  Hotkey own{35, platform::kControlKey};
  store.update(70_mid, [&](SpaceMeta& m) {
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
  Desktop eleven = desktop(11, 110_mid);
  EXPECT_EQ(show.tint(eleven), paletteEntry(0).color);
  store.update(110_mid, [](SpaceMeta& m) { m.color = TileColor::palette(12); });
  EXPECT_EQ(show.tint(eleven), paletteEntry(2).color);
  store.update(110_mid, [](SpaceMeta& m) { m.color = TileColor::transparent(); });
  EXPECT_TRUE(show.isTransparent(eleven));
  EXPECT_EQ(show.tint(eleven), kTransparentTint);
}

TEST_F(PresentationTest, NumberShortcutsReachDesktopsOneToTen) {
  EXPECT_EQ(show.shortcut(desktop(1, 1_mid)),
            (Hotkey{platform::keys::kDigits[1], settings.directJumpModifiers()}));
  EXPECT_EQ(show.shortcut(desktop(10, 10_mid))->keyCode, platform::keys::kDigits[0]);
  EXPECT_FALSE(show.shortcut(desktop(11, 11_mid)));
  settings.setDirectJumpEnabled(false);
  EXPECT_FALSE(show.shortcut(desktop(1, 1_mid)));
}

}  // namespace
}  // namespace velmora
