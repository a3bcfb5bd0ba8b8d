#include "spaces/presentation.h"

#include <gtest/gtest.h>

#include "spaces/engine_world.h"
#include "test_ids.h"

namespace velmora {
namespace {

using namespace velmora::testing;

class PresentationTest : public ::testing::Test, public testing::EngineWorld {};

TEST_F(PresentationTest, PresentationModeHidesNamesButKeepsShortcutsAndTime) {
  Desktop seven = desktop(7, 70_mid);
  EXPECT_EQ(presentation.title(seven), "Desktop 7");
  EXPECT_FALSE(presentation.isNamed(seven));
  Hotkey own{35, platform::kControlKey};
  store.update(70_mid, [&](SpaceMeta& m) {
    m.name = "Mail";
    m.icon = SpaceIcon::symbol("envelope.fill");
    m.color = TileColor::palette(6);
    m.hotkey = own;
    m.seconds = 42;
  });
  EXPECT_EQ(presentation.title(seven), "Mail");
  EXPECT_EQ(presentation.tint(seven), paletteEntry(6).color);

  options.setPresenting(true);
  EXPECT_EQ(presentation.title(seven), "Desktop 7");
  EXPECT_TRUE(presentation.icon(seven).isNone());
  EXPECT_EQ(presentation.color(seven), TileColor::automatic());
  EXPECT_EQ(presentation.tint(seven),
            paletteEntry(6).color);  // automatic for desktop 7 is entry 6 too
  EXPECT_EQ(presentation.meta(seven).seconds, 42);
  EXPECT_EQ(presentation.shortcut(seven), own);
  EXPECT_EQ(presentation.storedMeta(seven).name, "Mail");
}

TEST_F(PresentationTest, TintsFollowTheColourOrTheNumber) {
  Desktop eleven = desktop(11, 110_mid);
  EXPECT_EQ(presentation.tint(eleven), paletteEntry(0).color);
  store.update(110_mid, [](SpaceMeta& m) { m.color = TileColor::palette(12); });
  EXPECT_EQ(presentation.tint(eleven), paletteEntry(2).color);
  store.update(110_mid, [](SpaceMeta& m) { m.color = TileColor::transparent(); });
  EXPECT_TRUE(presentation.isTransparent(eleven));
  EXPECT_EQ(presentation.tint(eleven), kTransparentTint);
}

TEST_F(PresentationTest, NumberShortcutsReachDesktopsOneToTen) {
  EXPECT_EQ(presentation.shortcut(desktop(1, 1_mid)),
            (Hotkey{platform::keys::kDigits[1], options.directJumpModifiers()}));
  EXPECT_EQ(presentation.shortcut(desktop(10, 10_mid))->keyCode, platform::keys::kDigits[0]);
  EXPECT_FALSE(presentation.shortcut(desktop(11, 11_mid)));
  options.setDirectJumpEnabled(false);
  EXPECT_FALSE(presentation.shortcut(desktop(1, 1_mid)));
}

}  // namespace
}  // namespace velmora
