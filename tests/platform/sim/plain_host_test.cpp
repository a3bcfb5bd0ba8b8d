#include "platform/sim/plain_host.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmora::sim {
namespace {

using platform::Font;

TEST(PlainHost, TextMeasuresByCodePointAndIsCutBetweenWholeOnes) {
  PlainCanvasFactory factory;
  auto canvas = factory.makeCanvas({100, 20}, 2);
  ASSERT_TRUE(canvas);
  const Font font = Font::system(10);
  EXPECT_EQ(canvas->measureText("Café", font), (Size{20, 12}));  // four code points, five bytes
  EXPECT_EQ(canvas->truncateTail("Café", font, 20), "Café");
  EXPECT_EQ(canvas->truncateTail("Cafés", font, 20), "Caf…");
  EXPECT_EQ(canvas->truncateTail("éééé", font, 16), "éé…") << "never half a code point";
  EXPECT_EQ(canvas->truncateTail("Desk", font, 3), "…");
  EXPECT_EQ(canvas->bitmap().rgba.size(), 200u * 40u * 4u);
  EXPECT_FALSE(factory.makeCanvas({0, 20}, 2));
}

TEST(PlainHost, SymbolsAreBlankSquaresForTheNamesTheDrawingHostKnows) {
  PlainSymbols symbols;
  auto house = symbols.symbol("house.fill", 16, platform::FontWeight::bold, {});
  ASSERT_TRUE(house);
  EXPECT_EQ(house->size(), (Size{16, 16}));
  EXPECT_FALSE(symbols.symbol("no.such.symbol", 16, platform::FontWeight::regular, {}));
  EXPECT_FALSE(symbols.symbol("house.fill", 0, platform::FontWeight::regular, {}));
}

}  // namespace
}  // namespace velmora::sim
