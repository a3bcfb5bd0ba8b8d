#include "platform/linux/rsvg_symbols.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/cairo_canvas.h"
#include "store/space_meta.h"

namespace velmora {
namespace {

using linuxhost::RsvgSymbols;
using platform::Canvas;
using platform::CanvasRect;
using platform::Color;
using platform::SymbolWeight;
using platform::VectorImage;

// Every symbol the interface asks for besides the icon picker's.
constexpr const char* kInterfaceSymbols =
    "magnifyingglass link keyboard eye.slash.fill eye.fill checkmark.circle.fill "
    "exclamationmark.triangle.fill arrow.down.circle.fill arrow.right.doc.on.clipboard "
    "arrow.up.forward.square arrow.uturn.backward chevron.left face.smiling photo return "
    "slider.horizontal.3 rectangle.3.group gearshape.fill";

const Color kTeal{0.1, 0.6, 0.8, 1};

// The pixels a drawing covers, and the colour they were drawn in.
struct Ink {
  std::vector<bool> covered;  // alpha above zero, row by row
  int count = 0;
  double mass = 0;  // coverage summed over all pixels, in whole pixels
  int maxAlpha = 0;
  bool allInColour = true;  // every clearly covered pixel carries the asked colour
};

Ink inkOf(const Canvas& canvas, const Color& colour) {
  platform::Bitmap bitmap = canvas.bitmap();
  Ink ink;
  ink.covered.resize(static_cast<std::size_t>(bitmap.pixelWidth) * bitmap.pixelHeight);
  auto near = [](int channel, double unit) {
    return std::abs(channel - static_cast<int>(unit * 255 + 0.5)) <= 4;
  };
  for (std::size_t i = 0; i < ink.covered.size(); ++i) {
    const std::uint8_t* p = &bitmap.rgba[i * 4];
    if (p[3] == 0) continue;
    ink.covered[i] = true;
    ++ink.count;
    ink.mass += p[3] / 255.0;
    ink.maxAlpha = std::max<int>(ink.maxAlpha, p[3]);
    // Faint edge pixels lose precision when Cairo stores them premultiplied.
    if (p[3] >= 128 &&
        !(near(p[0], colour.red) && near(p[1], colour.green) && near(p[2], colour.blue))) {
      ink.allInColour = false;
    }
  }
  return ink;
}

class RsvgSymbolsTest : public ::testing::Test {
 protected:
  // The symbol drawn over a canvas of its own natural size.
  std::unique_ptr<Canvas> drawn(const std::string& name, double pointSize,
                                SymbolWeight weight = SymbolWeight::semibold,
                                const Color& colour = kTeal, double scale = 2) {
    std::shared_ptr<VectorImage> image = symbols.symbol(name, pointSize, weight, colour);
    EXPECT_TRUE(image) << name;
    if (!image) return nullptr;
    return platform::rasterize(canvases, *image, scale);
  }

  RsvgSymbols symbols;
  linuxhost::CairoCanvasFactory canvases;
};

TEST_F(RsvgSymbolsTest, EveryPickerAndInterfaceSymbolHasAnIconInstalled) {
  std::vector<std::string> wanted(kIconCatalogue.begin(), kIconCatalogue.end());
  std::istringstream others(kInterfaceSymbols);
  for (std::string name; others >> name;) wanted.push_back(name);
  for (const std::string& name : wanted) {
    std::optional<std::string_view> icon = RsvgSymbols::iconName(name);
    ASSERT_TRUE(icon) << name << " has no stand-in";
    EXPECT_TRUE(symbols.iconFile(*icon)) << name << ": the theme lacks " << *icon;
    EXPECT_TRUE(symbols.symbol(name, 16, SymbolWeight::regular, kTeal)) << name;
  }
  // And nothing in the table points at an icon the theme does not ship.
  for (std::string_view name : RsvgSymbols::symbolNames()) {
    EXPECT_TRUE(symbols.iconFile(*RsvgSymbols::iconName(name))) << name;
  }
  // The picker's choices stay apart: no two of them share an icon.
  std::set<std::string_view> icons;
  for (const char* name : kIconCatalogue) icons.insert(*RsvgSymbols::iconName(name));
  EXPECT_EQ(icons.size(), kIconCatalogue.size());
}

TEST_F(RsvgSymbolsTest, UnknownNamesAndUnusableSizesGiveNone) {
  for (const char* name : {"", "no.such.symbol", "House.fill", "house", "user-home"}) {
    EXPECT_FALSE(symbols.symbol(name, 16, SymbolWeight::regular, kTeal)) << name;
  }
  EXPECT_FALSE(symbols.symbol("house.fill", 0, SymbolWeight::regular, kTeal));
  EXPECT_FALSE(symbols.symbol("house.fill", -4, SymbolWeight::regular, kTeal));
  EXPECT_FALSE(symbols.symbol("house.fill", std::nan(""), SymbolWeight::regular, kTeal));
}

TEST_F(RsvgSymbolsTest, DrawsInTheAskedColourInsideTransparentCorners) {
  auto canvas = drawn("house.fill", 16, SymbolWeight::regular);
  ASSERT_TRUE(canvas);
  EXPECT_EQ(canvas->pixelWidth(), 32);
  EXPECT_EQ(canvas->pixelHeight(), 32);
  Ink ink = inkOf(*canvas, kTeal);
  EXPECT_TRUE(ink.allInColour);
  EXPECT_EQ(ink.maxAlpha, 255);
  EXPECT_GT(ink.count, 32 * 32 / 4);  // a glyph, not a speck
  EXPECT_LT(ink.count, 32 * 32);      // and not a filled square
  for (int corner : {0, 31, 32 * 31, 32 * 32 - 1}) EXPECT_FALSE(ink.covered[corner]) << corner;

  // A translucent colour stays translucent.
  auto faint = drawn("house.fill", 16, SymbolWeight::regular, Color{1, 1, 1, 0.5});
  Ink faintInk = inkOf(*faint, Color{1, 1, 1, 1});
  EXPECT_NEAR(faintInk.maxAlpha, 128, 2);
  EXPECT_EQ(faintInk.covered, ink.covered);
}

TEST_F(RsvgSymbolsTest, ShapesDependOnTheNameAndGrowWithThePointSize) {
  Ink house = inkOf(*drawn("house.fill", 16), kTeal);
  Ink star = inkOf(*drawn("star.fill", 16), kTeal);
  EXPECT_NE(house.covered, star.covered);

  auto large = drawn("house.fill", 32);
  EXPECT_EQ(large->pixelWidth(), 64 + 2);  // 32 pt plus a semibold margin of 0.384 pt a side
  Ink largeInk = inkOf(*large, kTeal);
  EXPECT_GT(largeInk.count, 3 * house.count);
}

TEST_F(RsvgSymbolsTest, HeavierWeightsThickenStrokesWithoutCuttingThemOff) {
  std::shared_ptr<VectorImage> regular =
      symbols.symbol("gearshape.fill", 20, SymbolWeight::regular, kTeal);
  std::shared_ptr<VectorImage> bold =
      symbols.symbol("gearshape.fill", 20, SymbolWeight::bold, kTeal);
  EXPECT_EQ(regular->size(), (Size{20, 20}));
  EXPECT_DOUBLE_EQ(bold->size().width, 20 + 2 * 20 * RsvgSymbols::outsetShare(SymbolWeight::bold));

  double previous = 0;
  for (SymbolWeight weight :
       {SymbolWeight::regular, SymbolWeight::medium, SymbolWeight::semibold, SymbolWeight::bold}) {
    // Each at its natural size, centred on the same canvas: the same gear, heavier strokes.
    std::shared_ptr<VectorImage> image = symbols.symbol("gearshape.fill", 20, weight, kTeal);
    Size size = image->size();
    auto canvas = canvases.makeCanvas({24, 24}, 2);
    canvas->drawImage(
        *image, CanvasRect{(24 - size.width) / 2, (24 - size.height) / 2, size.width, size.height});
    Ink ink = inkOf(*canvas, kTeal);
    EXPECT_TRUE(ink.allInColour);
    EXPECT_GT(ink.mass, previous + 5) << static_cast<int>(weight);
    previous = ink.mass;
  }
}

TEST_F(RsvgSymbolsTest, StaysInsideTheRectangleItIsDrawnInto) {
  auto canvas = canvases.makeCanvas({40, 40}, 2);
  std::shared_ptr<VectorImage> image =
      symbols.symbol("exclamationmark.triangle.fill", 16, SymbolWeight::bold, kTeal);
  canvas->drawImage(*image, CanvasRect{10, 12, 16, 16});
  platform::Bitmap pixels = canvas->bitmap();
  int inside = 0, outside = 0;
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 80; ++x) {
      if (pixels.rgba[(static_cast<std::size_t>(y) * 80 + x) * 4 + 3] == 0) continue;
      bool within = x >= 20 && x < 52 && y >= 24 && y < 56;
      (within ? inside : outside)++;
    }
  }
  EXPECT_GT(inside, 100);
  EXPECT_EQ(outside, 0);

  // Drawn again at the same size (from the kept rendering), it lands on the same pixels.
  auto again = canvases.makeCanvas({40, 40}, 2);
  again->drawImage(*image, CanvasRect{10, 12, 16, 16});
  EXPECT_EQ(again->bitmap().rgba, pixels.rgba);

  // Drawn twice as large, it is rendered afresh at the new size, not stretched.
  auto larger = canvases.makeCanvas({40, 40}, 2);
  larger->drawImage(*image, CanvasRect{4, 4, 32, 32});
  Ink sharp = inkOf(*larger, kTeal);
  auto reference = canvases.makeCanvas({40, 40}, 2);
  reference->drawImage(
      *symbols.symbol("exclamationmark.triangle.fill", 32, SymbolWeight::bold, kTeal),
      CanvasRect{4, 4, 32, 32});
  EXPECT_EQ(larger->bitmap().rgba, reference->bitmap().rgba);
  EXPECT_GT(sharp.count, 3 * inside);
}

// A theme folder of its own, to pin the geometry down exactly and to break it on purpose.
class RsvgSymbolsThemeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("velmora-symbols-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  void writeIcon(const std::string& relative, const std::string& text) {
    std::filesystem::path file = folder / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
  }

  std::filesystem::path folder;
  linuxhost::CairoCanvasFactory canvases;
};

// A 16-unit icon whose only shape is the square from 4 to 12 on both axes.
const char* kCentreSquare =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">)"
    R"(<rect x="4" y="4" width="8" height="8" fill="#2e3436"/></svg>)";

TEST_F(RsvgSymbolsThemeTest, TheIconSquareSpansThePointSizeExactly) {
  writeIcon("scalable/places/user-home-symbolic.svg", kCentreSquare);
  RsvgSymbols symbols(folder);
  auto image = symbols.symbol("house.fill", 16, SymbolWeight::regular, Color{1, 0, 0, 1});
  ASSERT_TRUE(image);
  auto canvas = platform::rasterize(canvases, *image, 2);
  platform::Bitmap pixels = canvas->bitmap();
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const std::uint8_t* p = &pixels.rgba[(static_cast<std::size_t>(y) * 32 + x) * 4];
      bool inSquare = x >= 8 && x < 24 && y >= 8 && y < 24;
      ASSERT_EQ(p[3], inSquare ? 255 : 0) << x << "," << y;
      if (inSquare) {  // the theme's grey gives way to the asked red
        ASSERT_EQ(p[0], 255);
        ASSERT_EQ(p[1], 0);
      }
    }
  }
}

TEST_F(RsvgSymbolsThemeTest, BoldGrowsTheShapeEvenlyOnEverySide) {
  writeIcon("scalable/places/user-home-symbolic.svg", kCentreSquare);
  RsvgSymbols symbols(folder);
  // 25 pt bold: a margin of half a point a side, one pixel at scale 2.
  auto image = symbols.symbol("house.fill", 25, SymbolWeight::bold, Color{1, 0, 0, 1});
  ASSERT_EQ(image->size(), (Size{26, 26}));
  auto canvas = platform::rasterize(canvases, *image, 2);
  platform::Bitmap pixels = canvas->bitmap();
  ASSERT_EQ(pixels.pixelWidth, 52);
  auto alpha = [&](int x, int y) {
    return pixels.rgba[(static_cast<std::size_t>(y) * 52 + x) * 4 + 3];
  };
  // The square spans 13.5…38.5 pixels; grown by one, it fully covers 13…38 and no more.
  for (int i = 0; i < 52; ++i) {
    bool inside = i >= 13 && i <= 38;
    EXPECT_EQ(alpha(i, 26) == 255, inside) << i;
    EXPECT_EQ(alpha(26, i) == 255, inside) << i;
  }
  for (int y = 0; y < 52; ++y) {
    for (int x = 0; x < 52; ++x) ASSERT_EQ(alpha(x, y), alpha(51 - x, 51 - y)) << x << "," << y;
  }
}

TEST_F(RsvgSymbolsThemeTest, AnswersOnlyWithIconsTheFolderHoldsIntact) {
  RsvgSymbols nothingInstalled(folder / "absent");
  EXPECT_FALSE(nothingInstalled.symbol("house.fill", 16, SymbolWeight::regular, Color{}));

  writeIcon("scalable/places/user-home-symbolic.svg", "<svg this is not");
  RsvgSymbols damaged(folder);
  EXPECT_FALSE(damaged.symbol("house.fill", 16, SymbolWeight::regular, Color{}));
  // A damaged file is read once; asking again still answers none.
  EXPECT_FALSE(damaged.symbol("house.fill", 16, SymbolWeight::regular, Color{}));

  // Later releases of the theme file their icons under "symbolic".
  writeIcon("symbolic/places/starred-symbolic.svg", kCentreSquare);
  RsvgSymbols newer(folder);
  EXPECT_TRUE(newer.symbol("star.fill", 16, SymbolWeight::regular, Color{}));
  EXPECT_FALSE(newer.symbol("heart.fill", 16, SymbolWeight::regular, Color{}));
}

}  // namespace
}  // namespace velmora
