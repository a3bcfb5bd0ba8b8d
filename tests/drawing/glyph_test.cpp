#include "drawing/glyph.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <map>
#include <set>

#include "core/virtual_loop.h"
#include "drawing/recording_canvas.h"
#include "platform/linux/cairo_canvas.h"
#include "platform/linux/pixbuf_image_io.h"
#include "platform/sim/virtual_mac.h"
#include "spaces/presentation_world.h"
#include "test_ids.h"

namespace velmora {
namespace {

using namespace velmora::testing;

using platform::Color;
using platform::FontWeight;
using testing::DrawCall;
using testing::RecordingCanvas;
using testing::RecordingCanvasFactory;
using Kind = DrawCall::Kind;

constexpr double kTol = 1e-9;

// Known symbols have a fixed natural size and fill their box with their colour when drawn;
// every request is remembered.
class FakeSymbols final : public platform::Symbols {
 public:
  std::map<std::string, Size> known{{"wide", {20, 10}}, {"small", {5, 5}}};
  std::set<std::string> invisible;  // known, but drawing nothing
  struct Request {
    double pointSize;
    FontWeight weight;
    Color color;
  };
  std::vector<Request> requests;

  std::shared_ptr<platform::VectorImage> symbol(const std::string& name, double pointSize,
                                                FontWeight weight, const Color& color) override {
    requests.push_back({pointSize, weight, color});
    auto found = known.find(name);
    if (found == known.end()) return nullptr;
    if (invisible.count(name)) {
      return std::make_shared<platform::DrawnImage>(found->second, [](platform::Canvas&, Size) {});
    }
    return std::make_shared<platform::DrawnImage>(
        found->second, [color](platform::Canvas& canvas, Size size) {
          canvas.fill(platform::Path::rect({0, 0, size.width, size.height}), color);
        });
  }
};

// Pictures that exist are 4 × 4 grey squares; each load is counted.
class FakeImages final : public platform::ImageIO {
 public:
  std::set<std::string> present{"cat.png"};
  int loads = 0;
  std::optional<platform::Bitmap> load(const std::filesystem::path& file) override {
    ++loads;
    if (!present.count(file.filename().string())) return std::nullopt;
    return platform::Bitmap{4, 4, {4, 4}, std::vector<std::uint8_t>(64, 128)};
  }
  std::optional<platform::Bitmap> makeCanvas(int, int) override { return std::nullopt; }
  void drawImage(const platform::Bitmap&, platform::Bitmap&, const platform::CanvasRect&) override {
  }
  std::optional<std::vector<std::uint8_t>> encodePNG(const platform::Bitmap&) override {
    return std::nullopt;
  }
};

Color rgb(const RGBColor& c) {
  return {c.red, c.green, c.blue, c.alpha};
}

void expectRect(const platform::CanvasRect& actual, const platform::CanvasRect& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-6);
  EXPECT_NEAR(actual.y, expected.y, 1e-6);
  EXPECT_NEAR(actual.width, expected.width, 1e-6);
  EXPECT_NEAR(actual.height, expected.height, 1e-6);
}

class GlyphTest : public ::testing::Test {
 protected:
  void SetUp() override { useImages(images); }
  void TearDown() override { Glyph::setServices({}); }

  void useImages(platform::ImageIO& io) { Glyph::setServices({&symbols, &io, &measure, folder}); }

  RecordingCanvas draw(const ImageRef& image) {
    RecordingCanvas canvas(image->size());
    canvas.drawImage(*image, {0, 0, image->size().width, image->size().height});
    return canvas;
  }

  FakeSymbols symbols;
  FakeImages images;
  RecordingCanvasFactory measure;
  std::filesystem::path folder = "/nonexistent/pictures";
};

// --- cache key and tile cache ------------------------------------------------------------

TEST_F(GlyphTest, KeyNamesEveryInputAndNothingElse) {
  EXPECT_EQ(Glyph::tileKey(3, SpaceIcon::symbol("house.fill"), TileColor::automatic(), 17, 4.5),
            "3|sf:house.fill|-1|17.0|4.5");
  EXPECT_EQ(Glyph::tileKey(12, SpaceIcon::none(), TileColor::transparent(), 22, std::nullopt),
            "12||-2|22.0|-1");
  const std::string base = Glyph::tileKey(3, SpaceIcon::none(), TileColor::palette(4), 17, 4.5);
  EXPECT_EQ(base, Glyph::tileKey(3, SpaceIcon::none(), TileColor::palette(4), 17, 4.5));
  EXPECT_NE(base, Glyph::tileKey(4, SpaceIcon::none(), TileColor::palette(4), 17, 4.5));
  EXPECT_NE(base, Glyph::tileKey(3, SpaceIcon::emoji("🚀"), TileColor::palette(4), 17, 4.5));
  EXPECT_NE(base, Glyph::tileKey(3, SpaceIcon::none(), TileColor::palette(5), 17, 4.5));
  EXPECT_NE(base, Glyph::tileKey(3, SpaceIcon::none(), TileColor::palette(4), 17.5, 4.5));
  EXPECT_NE(base, Glyph::tileKey(3, SpaceIcon::none(), TileColor::palette(4), 17, 4));
  EXPECT_NE(base, Glyph::tileKey(3, SpaceIcon::none(), TileColor::palette(4), 17, std::nullopt));
}

TEST_F(GlyphTest, SameTileComesFromTheCacheAndTheThreeHundredFirstEmptiesIt) {
  ImageRef first = Glyph::tileImage(1, SpaceIcon::none(), TileColor::automatic(), 4.5, 17);
  EXPECT_EQ(first, Glyph::tileImage(1, SpaceIcon::none(), TileColor::automatic(), 4.5, 17));
  EXPECT_NE(first, Glyph::tileImage(1, SpaceIcon::none(), TileColor::automatic(), 4.5, 18));

  Glyph::clearCaches();
  for (int n = 1; n <= 300; ++n) Glyph::tileImage(n, SpaceIcon::none(), {}, std::nullopt, 17);
  EXPECT_EQ(Glyph::tileCacheCount(), 300u);
  ImageRef kept = Glyph::tileImage(300, SpaceIcon::none(), {}, std::nullopt, 17);
  EXPECT_EQ(Glyph::tileCacheCount(), 300u);  // a hit adds nothing

  Glyph::tileImage(301, SpaceIcon::none(), {}, std::nullopt, 17);
  EXPECT_EQ(Glyph::tileCacheCount(), 1u);
  EXPECT_NE(kept, Glyph::tileImage(300, SpaceIcon::none(), {}, std::nullopt, 17));
  EXPECT_EQ(Glyph::tileCacheCount(), 2u);
}

// --- pictures ------------------------------------------------------------------------------

TEST_F(GlyphTest, PicturesAreReadOnceAndFailuresAreRetried) {
  PictureRef cat = Glyph::loadPicture("cat.png");
  ASSERT_TRUE(cat);
  EXPECT_EQ(cat, Glyph::loadPicture("cat.png"));
  draw(Glyph::tileImage(2, SpaceIcon::picture("cat.png"), {}, std::nullopt, 17));
  draw(Glyph::tileImage(2, SpaceIcon::picture("cat.png"), {}, std::nullopt, 30));
  EXPECT_EQ(images.loads, 1);

  EXPECT_FALSE(Glyph::loadPicture("dog.png"));
  EXPECT_FALSE(Glyph::loadPicture("dog.png"));
  EXPECT_EQ(images.loads, 3);
  images.present.insert("dog.png");  // imported later: the next draw finds it
  EXPECT_TRUE(Glyph::loadPicture("dog.png"));
  EXPECT_EQ(Glyph::pictureCacheCount(), 2u);

  EXPECT_FALSE(Glyph::loadPicture("../cat.png"));             // nothing outside the pictures folder
  Glyph::setServices({&symbols, &images, &measure, folder});  // new services: read afresh
  EXPECT_EQ(Glyph::pictureCacheCount(), 0u);
  EXPECT_NE(cat, Glyph::loadPicture("cat.png"));
}

TEST_F(GlyphTest, PicturesFillTheTileInsetOnAColourAndWhollyWhenTransparent) {
  RecordingCanvas onColour = draw(Glyph::tileImage(2, SpaceIcon::picture("cat.png"), {}, 4.0, 20));
  ASSERT_EQ(onColour.of(Kind::bitmap).size(), 1u);
  expectRect(onColour.of(Kind::bitmap)[0].bounds, {2.6, 2.6, 14.8, 14.8});
  expectRect(onColour.of(Kind::clip).back().bounds, {2.6, 2.6, 14.8, 14.8});
  EXPECT_NEAR(onColour.of(Kind::clip).back().start.x, 2.6 + 0.8 * 4.0, 1e-9);  // corner 0.8 r
  EXPECT_EQ(onColour.of(Kind::fill).size(), 1u);  // the tile colour under the picture
  EXPECT_EQ(onColour.of(Kind::gradient).size(), 1u);
  EXPECT_TRUE(onColour.of(Kind::text).empty());

  RecordingCanvas clear =
      draw(Glyph::tileImage(2, SpaceIcon::picture("cat.png"), TileColor::transparent(), 4.0, 20));
  ASSERT_EQ(clear.of(Kind::bitmap).size(), 1u);
  expectRect(clear.of(Kind::bitmap)[0].bounds, {0, 0, 20, 20});
  EXPECT_NEAR(clear.of(Kind::clip).back().start.x, 0.8 * 4.0, 1e-9);
  EXPECT_TRUE(clear.of(Kind::fill).empty());
  EXPECT_TRUE(clear.of(Kind::stroke).empty());
}

TEST_F(GlyphTest, MissingOrCorruptPictureShowsTheNumber) {
  RecordingCanvas missing =
      draw(Glyph::tileImage(4, SpaceIcon::picture("gone.png"), {}, std::nullopt, 20));
  EXPECT_TRUE(missing.of(Kind::bitmap).empty());
  ASSERT_EQ(missing.of(Kind::text).size(), 1u);
  EXPECT_EQ(missing.of(Kind::text)[0].text, "4");

  // A real decoder over a damaged file.
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "velmora-glyph-test";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "broken.png") << "\x89PNG\r\n\x1a\n not really a picture";
  linuxhost::PixbufImageIO pixbuf;
  Glyph::setServices({&symbols, &pixbuf, &measure, dir});
  RecordingCanvas corrupt = draw(Glyph::tileImage(4, SpaceIcon::picture("broken.png"),
                                                  TileColor::transparent(), std::nullopt, 20));
  EXPECT_TRUE(corrupt.of(Kind::bitmap).empty());
  ASSERT_EQ(corrupt.of(Kind::text).size(), 1u);
  EXPECT_EQ(corrupt.of(Kind::text)[0].text, "4");
  EXPECT_FALSE(
      Glyph::iconImage(SpaceIcon::picture("broken.png"), 16, FontWeight::semibold, Color::white()));
  std::filesystem::remove_all(dir);
}

// --- tile geometry ---------------------------------------------------------------------------

TEST_F(GlyphTest, AutomaticNumberTileHasFillSheenAndLiftedBoldNumber) {
  RecordingCanvas c = draw(Glyph::tileImage(3, SpaceIcon::none(), {}, 4.5, 17));
  ASSERT_EQ(c.of(Kind::fill).size(), 1u);
  expectRect(c.of(Kind::fill)[0].bounds, {0, 0, 17, 17});
  EXPECT_EQ(c.of(Kind::fill)[0].color, rgb(kTilePalette[2].color));  // "Pink"

  ASSERT_EQ(c.of(Kind::gradient).size(), 1u);
  DrawCall sheen = c.of(Kind::gradient)[0];
  expectRect(sheen.bounds, {0, 0, 17, 8.5});
  EXPECT_NEAR(sheen.gradient.start.y, 8.5, kTol);  // 16 % white on the middle line…
  EXPECT_NEAR(sheen.gradient.end.y, 0, kTol);      // …fading out at the top edge
  EXPECT_EQ(sheen.gradient.stops.front().color, Color::white(0.16));
  EXPECT_EQ(sheen.gradient.stops.back().color, Color::white(0));

  ASSERT_EQ(c.of(Kind::text).size(), 1u);
  DrawCall number = c.of(Kind::text)[0];
  EXPECT_EQ(number.text, "3");
  EXPECT_EQ(number.font, platform::Font::system(0.62 * 17, FontWeight::bold));
  EXPECT_EQ(number.color, Color::white());
  const double h = 1.2 * 0.62 * 17;
  EXPECT_NEAR(number.bounds.y, 8.5 - h / 2 - 0.34, 1e-9);  // lifted by 0.02 × size
  EXPECT_NEAR(number.bounds.x + number.bounds.width / 2, 8.5, 1e-9);
  EXPECT_TRUE(c.of(Kind::stroke).empty());
}

TEST_F(GlyphTest, NumbersFromTenUseTheSmallerSizeAndIconsAreNotLifted) {
  RecordingCanvas twelve = draw(Glyph::tileImage(12, SpaceIcon::none(), {}, std::nullopt, 20));
  EXPECT_DOUBLE_EQ(twelve.of(Kind::text)[0].font.pointSize, 0.52 * 20);
  // Without a radius the corners are 0.28 × size.
  EXPECT_NEAR(twelve.of(Kind::fill).at(0).start.x, 0.28 * 20, 1e-9);

  RecordingCanvas emoji = draw(Glyph::tileImage(5, SpaceIcon::emoji("🚀"), {}, std::nullopt, 20));
  ASSERT_EQ(emoji.of(Kind::text).size(), 1u);
  DrawCall e = emoji.of(Kind::text)[0];
  EXPECT_EQ(e.font, platform::Font::system(12));
  EXPECT_NEAR(e.bounds.y + e.bounds.height / 2, 10, 1e-9);  // no lift
}

TEST_F(GlyphTest, TransparentTileIsAnOutlineWithAWhiteNumber) {
  RecordingCanvas c =
      draw(Glyph::tileImage(6, SpaceIcon::none(), TileColor::transparent(), 4.5, 17));
  EXPECT_TRUE(c.of(Kind::fill).empty());
  EXPECT_TRUE(c.of(Kind::gradient).empty());
  ASSERT_EQ(c.of(Kind::stroke).size(), 1u);
  EXPECT_EQ(c.of(Kind::stroke)[0].color, Color::white(0.25));
  EXPECT_EQ(c.of(Kind::stroke)[0].lineWidth, 1.0);
  ASSERT_EQ(c.of(Kind::text).size(), 1u);
  EXPECT_EQ(c.of(Kind::text)[0].color, Color::white());
}

TEST_F(GlyphTest, SymbolsAreShrunkToTwoThirdsOfTheTileAndCentred) {
  RecordingCanvas wide = draw(Glyph::tileImage(1, SpaceIcon::symbol("wide"), {}, std::nullopt, 17));
  ASSERT_FALSE(symbols.requests.empty());
  EXPECT_DOUBLE_EQ(symbols.requests.back().pointSize, 0.56 * 17);
  EXPECT_EQ(symbols.requests.back().weight, FontWeight::semibold);
  EXPECT_EQ(symbols.requests.back().color, Color::white());
  // Fills: the tile, then the symbol's own box.
  ASSERT_EQ(wide.of(Kind::fill).size(), 2u);
  const double k = 0.66 * 17 / 20;
  expectRect(wide.of(Kind::fill)[1].bounds, {8.5 - 10 * k, 8.5 - 5 * k, 20 * k, 10 * k});
  EXPECT_TRUE(wide.of(Kind::text).empty());

  RecordingCanvas small =
      draw(Glyph::tileImage(1, SpaceIcon::symbol("small"), {}, std::nullopt, 17));
  expectRect(small.of(Kind::fill)[1].bounds, {6, 6, 5, 5});  // never enlarged
}

TEST_F(GlyphTest, UnknownSymbolShowsTheNumberUnlifted) {
  RecordingCanvas c =
      draw(Glyph::tileImage(7, SpaceIcon::symbol("no.such.symbol"), {}, std::nullopt, 20));
  ASSERT_EQ(c.of(Kind::text).size(), 1u);
  EXPECT_EQ(c.of(Kind::text)[0].text, "7");
  EXPECT_NEAR(c.of(Kind::text)[0].bounds.y + c.of(Kind::text)[0].bounds.height / 2, 10, 1e-9);
  EXPECT_FALSE(Glyph::symbolImage("no.such.symbol", 12, FontWeight::regular, Color::white()));
  EXPECT_FALSE(Glyph::iconImage(SpaceIcon::symbol("no.such.symbol"), 12, FontWeight::regular,
                                Color::white()));
}

TEST_F(GlyphTest, PaletteIndicesWrapBothWays) {
  for (std::int64_t index : {3LL, 13LL, -7LL, 1000003LL}) {
    RecordingCanvas c =
        draw(Glyph::tileImage(1, SpaceIcon::none(), TileColor::palette(index), 4.5, 17));
    ASSERT_EQ(c.of(Kind::fill).size(), 1u) << index;
    EXPECT_EQ(c.of(Kind::fill)[0].color, rgb(kTilePalette[3].color)) << index;
  }
}

// --- badge and bare icons -------------------------------------------------------------------

TEST_F(GlyphTest, BadgeSitsAtTheTopRightOfALargerImage) {
  ImageRef tile = Glyph::tileImage(3, SpaceIcon::none(), {}, 4.5, 17);
  ImageRef badged = Glyph::badgedImage(tile, "3");
  EXPECT_EQ(badged->size(), (Size{20, 20}));
  RecordingCanvas c = draw(badged);
  ASSERT_EQ(c.of(Kind::fill).size(), 2u);
  expectRect(c.of(Kind::fill)[0].bounds, {0, 3, 17, 17});  // the tile, bottom-left
  expectRect(c.of(Kind::fill)[1].bounds, {10, 0, 10, 10});
  EXPECT_EQ(c.of(Kind::fill)[1].color, (Color{1.0, 0.27, 0.23, 1.0}));
  ASSERT_EQ(c.of(Kind::stroke).size(), 1u);
  EXPECT_EQ(c.of(Kind::stroke)[0].color, Color::black(0.35));
  EXPECT_EQ(c.of(Kind::stroke)[0].lineWidth, 0.5);
  DrawCall label = c.of(Kind::text).back();
  EXPECT_EQ(label.font, platform::Font::system(7.5, FontWeight::bold));
  EXPECT_NEAR(label.bounds.x + label.bounds.width / 2, 15, 1e-9);

  // "12" is 7.5 wide here: ceil(7.5) + 5 = 13.
  RecordingCanvas wider = draw(Glyph::badgedImage(tile, "12"));
  expectRect(wider.of(Kind::fill)[1].bounds, {7, 0, 13, 10});
}

TEST_F(GlyphTest, EmojiAndPictureIconsAreSquares) {
  EXPECT_FALSE(Glyph::iconImage(SpaceIcon::none(), 16, FontWeight::semibold, Color::white()));
  // Two emoji at 0.95 × 20 pt: 8 bytes × 9.5 = 76 wide, 22.8 high → a 76-point square.
  ImageRef emoji =
      Glyph::iconImage(SpaceIcon::emoji("🚀🌙"), 20, FontWeight::semibold, Color::white());
  ASSERT_TRUE(emoji);
  EXPECT_EQ(emoji->size(), (Size{76, 76}));
  ImageRef picture =
      Glyph::iconImage(SpaceIcon::picture("cat.png"), 16, FontWeight::semibold, Color::white());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->size(), (Size{16, 16}));
  expectRect(draw(picture).of(Kind::bitmap)[0].bounds, {0, 0, 16, 16});
  EXPECT_FALSE(
      Glyph::iconImage(SpaceIcon::picture("gone.png"), 16, FontWeight::semibold, Color::white()));
}

// --- desktops, presentation and lists --------------------------------------------------------

class GlyphDesktopTest : public GlyphTest, public testing::PresentationWorld {};

TEST_F(GlyphDesktopTest, NumberOnlyPutsATransparentDesktopOnItsAutomaticColour) {
  Desktop four = desktop(4, 40_mid);
  store.update(40_mid, [](SpaceMeta& m) {
    m.icon = SpaceIcon::emoji("🚀");
    m.color = TileColor::transparent();
  });
  RecordingCanvas full = draw(Glyph::tileImage(show, four, 17, 4.5));
  EXPECT_TRUE(full.of(Kind::fill).empty());
  EXPECT_EQ(full.of(Kind::text)[0].text, "🚀");

  RecordingCanvas numberOnly = draw(Glyph::tileImage(show, four, 17, 4.5, true));
  ASSERT_EQ(numberOnly.of(Kind::fill).size(), 1u);
  EXPECT_EQ(numberOnly.of(Kind::fill)[0].color, rgb(kTilePalette[3].color));
  EXPECT_EQ(numberOnly.of(Kind::text)[0].text, "4");
}

TEST_F(GlyphDesktopTest, ListGlyphShowsTheIconOrAFadedNumber) {
  Desktop two = desktop(2, 20_mid);
  SpaceGlyph glyph{two, 14, 0.5};
  SpaceGlyph::Content plain = glyph.body(show);
  EXPECT_FALSE(plain.image);
  EXPECT_EQ(plain.text, "2");
  EXPECT_EQ(plain.font, platform::Font::system(13, FontWeight::bold));
  EXPECT_EQ(plain.color, Color::white(0.5));

  store.update(20_mid, [](SpaceMeta& m) { m.icon = SpaceIcon::symbol("small"); });
  EXPECT_TRUE(glyph.body(show).image);
  RecordingCanvas c;
  glyph.draw(c, {0, 0, 20, 20}, show);
  expectRect(c.of(Kind::fill).at(0).bounds, {7.5, 7.5, 5, 5});
}

// --- hostile input ------------------------------------------------------------------------------

TEST_F(GlyphDesktopTest, HostileInputDrawsSomethingSensible) {
  // Fifty code points of emoji keep at most two, and still draw.
  std::string many;
  for (int i = 0; i < 50; ++i) many += "😀";
  ImageRef crowded = Glyph::tileImage(1, SpaceIcon::emoji(many), {}, 4.5, 17);
  RecordingCanvas c = draw(crowded);
  ASSERT_EQ(c.of(Kind::text).size(), 1u);
  EXPECT_LE(c.of(Kind::text)[0].text.size(), 8u);

  // One joined cluster of fifty code points is kept whole and drawn, on a real canvas too.
  std::string family;
  for (int i = 0; i < 25; ++i) family += "👩\u200D";
  ImageRef joined = Glyph::tileImage(1, SpaceIcon::emoji(family), {}, 4.5, 17);
  EXPECT_EQ(draw(joined).of(Kind::text).size(), 1u);
  linuxhost::CairoCanvasFactory cairo;
  EXPECT_TRUE(platform::rasterize(cairo, *joined, 2));
  ImageRef bare =
      Glyph::iconImage(SpaceIcon::emoji(family), 16, FontWeight::semibold, Color::white());
  ASSERT_TRUE(bare);
  EXPECT_TRUE(platform::rasterize(cairo, *bare, 2));

  // A 2000-character name changes nothing about the tile; as badge text it stays bounded.
  Desktop nine = desktop(9, 90_mid);
  store.update(90_mid, [](SpaceMeta& m) { m.name = std::string(2000, 'x'); });
  EXPECT_EQ(draw(Glyph::tileImage(show, nine, 17)).of(Kind::text)[0].text, "9");
  ImageRef badged = Glyph::badgedImage(Glyph::tileImage(show, nine, 17), std::string(2000, 'x'));
  EXPECT_EQ(badged->size(), (Size{20, 20}));
  EXPECT_LE(draw(badged).of(Kind::fill).back().bounds.width, 20.0);

  // Degenerate sizes and images draw nothing rather than crash.
  EXPECT_EQ(Glyph::tileImage(1, SpaceIcon::none(), {}, std::nullopt, -3)->size(), (Size{0, 0}));
  EXPECT_EQ(Glyph::badgedImage(nullptr, "1")->size(), (Size{3, 3}));
}

// --- pixels
// ---------------------------------------------------------------------------------------

TEST_F(GlyphTest, PixelsShowThePaletteColourAndATransparentTilesEmptyCentre) {
  linuxhost::CairoCanvasFactory cairo;
  // A symbol that draws nothing leaves the centre to the fill.
  symbols.known["blank"] = {4, 4};
  symbols.invisible.insert("blank");
  ImageRef filled = Glyph::tileImage(1, SpaceIcon::symbol("blank"), TileColor::palette(5), 4.5, 20);
  auto canvas = platform::rasterize(cairo, *filled, 2);
  ASSERT_TRUE(canvas);
  platform::Bitmap pixels = canvas->bitmap();
  auto at = [&](int x, int y) {
    const std::uint8_t* p = &pixels.rgba[(static_cast<std::size_t>(y) * pixels.pixelWidth + x) * 4];
    return std::array<int, 4>{p[0], p[1], p[2], p[3]};
  };
  // Just below the middle line, where the sheen has not begun.
  std::array<int, 4> centre = at(20, 21);
  RGBColor expected = kTilePalette[5].color;
  EXPECT_NEAR(centre[0], expected.red * 255, 2);
  EXPECT_NEAR(centre[1], expected.green * 255, 2);
  EXPECT_NEAR(centre[2], expected.blue * 255, 2);
  EXPECT_EQ(centre[3], 255);

  ImageRef clear =
      Glyph::tileImage(1, SpaceIcon::symbol("blank"), TileColor::transparent(), 4.5, 20);
  canvas = platform::rasterize(cairo, *clear, 2);
  ASSERT_TRUE(canvas);
  pixels = canvas->bitmap();
  EXPECT_EQ(at(20, 20)[3], 0);
}

}  // namespace
}  // namespace velmora
