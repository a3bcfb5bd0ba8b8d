// Applications' icons on the virtual Mac, as a row that lists applications draws them.
#include "platform/sim/virtual_app_icons.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "core/virtual_loop.h"
#include "platform/linux/host_services.h"
#include "platform/sim/virtual_mac.h"
#include "platform/sim/world.h"

namespace velmora::sim {
namespace {

constexpr const char* kWorld = R"({"displays": [{"uuid": "A"}],
  "apps": [{"name": "Mail", "bundleIdentifier": "com.apple.mail", "iconColor": "#2060C0",
            "iconSymbol": "envelope.fill"},
           {"name": "notes", "bundlePath": "/Applications/Notes.app",
            "iconSymbol": "no.such.symbol"},
           {"name": "helper"}]})";

struct Pixel {
  int r, g, b, a;
};

class AppIconsTest : public ::testing::Test {
 protected:
  AppIconsTest() { EXPECT_TRUE(loadWorld(mac, kWorld).ok()); }

  // The icon drawn at 32 points on a 2× canvas.
  platform::Bitmap drawn(const std::string& identifier) {
    auto icon = mac.platform().appIcons.icon({identifier});
    if (!icon) return {};
    EXPECT_EQ(icon->size(), (Size{32, 32}));
    return platform::rasterize(mac.canvases(), *icon, 2)->bitmap();
  }
  static Pixel at(const platform::Bitmap& b, int x, int y) {
    const std::uint8_t* p = &b.rgba[(static_cast<std::size_t>(y) * b.pixelWidth + x) * 4];
    return {p[0], p[1], p[2], p[3]};
  }
  // Pixels of the middle half that are nearly white: the symbol or the letter.
  static int whiteInMiddle(const platform::Bitmap& b) {
    int count = 0;
    for (int y = 16; y < 48; ++y) {
      for (int x = 16; x < 48; ++x) {
        Pixel p = at(b, x, y);
        count += p.r > 220 && p.g > 220 && p.b > 220 && p.a > 220;
      }
    }
    return count;
  }

  VirtualLoop loop;
  linuxhost::DrawingHost host;
  VirtualMac mac{loop, host.services()};
};

// Found by bundle identifier or path: a rounded square (clear corners) in the app's colour,
// with its symbol or, without a symbol the machine knows, its initial in white.
TEST_F(AppIconsTest, AnApplicationWithABundleHasARoundedSquareInItsColourWithAMark) {
  platform::Bitmap mail = drawn("com.apple.mail");
  ASSERT_TRUE(mail.isValid());
  EXPECT_EQ(at(mail, 0, 0).a, 0) << "rounded corner";
  Pixel edge = at(mail, 2, 32);
  EXPECT_NEAR(edge.r, 0x20, 2);
  EXPECT_NEAR(edge.g, 0x60, 2);
  EXPECT_NEAR(edge.b, 0xC0, 2);
  EXPECT_EQ(edge.a, 255);
  EXPECT_GT(whiteInMiddle(mail), 40) << "the envelope";

  platform::Bitmap notes = drawn("/Applications/Notes.app");
  ASSERT_TRUE(notes.isValid());
  Pixel paint = at(notes, 2, 32);
  EXPECT_EQ(paint.a, 255);
  EXPECT_LT(paint.r + paint.g + paint.b, 3 * 220) << "a palette colour, not white";
  EXPECT_GT(whiteInMiddle(notes), 40) << "its initial, for a symbol the machine does not know";
}

TEST_F(AppIconsTest, AnIdentifierNoApplicationHasHasNoIcon) {
  EXPECT_FALSE(mac.platform().appIcons.icon({"com.example.absent"}));
  EXPECT_FALSE(mac.platform().appIcons.icon({""}));
  EXPECT_FALSE(mac.platform().appIcons.icon({"helper"})) << "a name is not a bundle";
}

}  // namespace
}  // namespace velmora::sim
