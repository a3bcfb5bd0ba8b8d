#include "platform/linux/rsvg_symbols.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "golden.h"
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
    "slider.horizontal.3 rectangle.3.group gearshape.fill square.grid.2x2 capsule "
    "rectangle.topthird.inset.filled clock gearshape info.circle";

const Color kTeal{0.1, 0.6, 0.8, 1};

class RsvgSymbolsTest : public ::testing::Test {
 protected:
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

// The installed theme's symbols on one sheet at 2x: house in the asked colour and in a
// translucent one, a star, the house at twice the size, the gear at the four weights (the
// same gear, heavier strokes, centred at its natural size), and a warning triangle drawn
// twice from its kept rendering and once twice as large, rendered afresh rather than stretched.
TEST_F(RsvgSymbolsTest, SymbolsDrawAsTheirGoldenSheet) {
  auto sheet = canvases.makeCanvas({200, 72}, 2);
  auto place = [&](const std::shared_ptr<VectorImage>& image, double x, double y) {
    ASSERT_TRUE(image);
    sheet->drawImage(*image, CanvasRect{x, y, image->size().width, image->size().height});
  };
  place(symbols.symbol("house.fill", 16, SymbolWeight::regular, kTeal), 2, 2);
  place(symbols.symbol("house.fill", 16, SymbolWeight::regular, Color{1, 1, 1, 0.5}), 20, 2);
  place(symbols.symbol("star.fill", 16, SymbolWeight::semibold, kTeal), 38, 2);
  place(symbols.symbol("house.fill", 32, SymbolWeight::semibold, kTeal), 56, 2);
  double x = 92;
  for (SymbolWeight weight :
       {SymbolWeight::regular, SymbolWeight::medium, SymbolWeight::semibold, SymbolWeight::bold}) {
    auto gear = symbols.symbol("gearshape.fill", 20, weight, kTeal);
    place(gear, x + (24 - gear->size().width) / 2, 2 + (24 - gear->size().height) / 2);
    x += 26;
  }
  auto triangle = symbols.symbol("exclamationmark.triangle.fill", 16, SymbolWeight::bold, kTeal);
  sheet->drawImage(*triangle, CanvasRect{2, 40, 16, 16});
  sheet->drawImage(*triangle, CanvasRect{20, 40, 16, 16});
  sheet->drawImage(*triangle, CanvasRect{40, 38, 32, 32});
  EXPECT_TRUE(testing::matchesGoldenPNG("symbols/sheet@2x.png", *sheet));

  // A heavier weight keeps its strokes whole with a margin around the symbol's square.
  EXPECT_EQ(symbols.symbol("gearshape.fill", 20, SymbolWeight::regular, kTeal)->size(),
            (Size{20, 20}));
  EXPECT_DOUBLE_EQ(symbols.symbol("gearshape.fill", 20, SymbolWeight::bold, kTeal)->size().width,
                   20 + 2 * 20 * RsvgSymbols::outsetShare(SymbolWeight::bold));
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

// The square from 4 to 12 of a 16-unit icon: at 16 pt regular and scale 2 it covers pixels
// 8 to 23 exactly, in the asked red; at 25 pt bold (half a point of margin a side, a 26-point
// image) it spans 13.5 to 38.5 pixels, grown evenly by one on every side to cover 13 to 38.
TEST_F(RsvgSymbolsThemeTest, TheIconSquareSpansThePointSizeAndBoldGrowsItEvenly) {
  writeIcon("scalable/places/user-home-symbolic.svg", kCentreSquare);
  RsvgSymbols symbols(folder);
  for (auto [size, weight, name] : {std::tuple{16, SymbolWeight::regular, "16-regular"},
                                    std::tuple{25, SymbolWeight::bold, "25-bold"}}) {
    auto image = symbols.symbol("house.fill", size, weight, Color{1, 0, 0, 1});
    ASSERT_TRUE(image);
    auto canvas = platform::rasterize(canvases, *image, 2);
    ASSERT_TRUE(canvas);
    EXPECT_TRUE(
        testing::matchesGoldenPNG(std::string("symbols/square-") + name + "@2x.png", *canvas, 0));
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
