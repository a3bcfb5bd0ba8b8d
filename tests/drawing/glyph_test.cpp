#include "drawing/glyph.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "drawing/recording_canvas.h"
#include "golden.h"
#include "platform/linux/cairo_canvas.h"
#include "platform/linux/pixbuf_image_io.h"
#include "platform/linux/test_pictures.h"
#include "spaces/engine_world.h"
#include "test_ids.h"

namespace velmora {
namespace {

using namespace velmora::testing;

using platform::Color;
using platform::FontWeight;

// Known symbols have a fixed natural size and fill their box with their colour when drawn;
// every request is remembered.
class FakeSymbols final : public platform::Symbols {
 public:
  std::map<std::string, Size> known{{"wide", {20, 10}}, {"small", {5, 5}}};
  std::set<std::string> invisible;  // known, but drawing nothing
  std::string requests;             // "name size weight", comma-separated

  std::shared_ptr<platform::VectorImage> symbol(const std::string& name, double pointSize,
                                                FontWeight weight, const Color& color) override {
    requests += (requests.empty() ? "" : ", ") + name + " " + num(pointSize) + " " +
                std::to_string(static_cast<int>(weight));
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

class GlyphTest : public ::testing::Test, public EngineWorld {
 protected:
  GlyphTest() { Glyph::setServices({&symbols, &images, &measure, folder}); }
  ~GlyphTest() override { Glyph::setServices({}); }

  static RecordingCanvas draw(const ImageRef& image) {
    RecordingCanvas canvas(image->size());
    canvas.drawImage(*image, {0, 0, image->size().width, image->size().height});
    return canvas;
  }

  FakeSymbols symbols;
  FakeImages images;
  RecordingCanvasFactory measure;
  std::filesystem::path folder = "/nonexistent/pictures";
};

// Each kind of tile, icon and badge as the recording canvas saw it drawn, one line each:
// colours, corner radii, the sheen, the number's size and lift, symbol and picture insets.
TEST_F(GlyphTest, EveryKindOfTileIconAndBadgeDrawsAsItsGolden) {
  std::ostringstream out;
  auto line = [&](const std::string& name, const ImageRef& image) {
    out << name << " [" << num(image->size().width) << "x" << num(image->size().height)
        << "]: " << draw(image).dump();
    if (!symbols.requests.empty()) out << "; symbols asked: " << symbols.requests;
    symbols.requests.clear();
    out << "\n";
  };
  const SpaceIcon none = SpaceIcon::none();
  line("3 automatic r4.5", Glyph::tileImage(3, none, {}, 4.5, 17));
  line("12 automatic", Glyph::tileImage(12, none, {}, std::nullopt, 20));
  line("5 emoji", Glyph::tileImage(5, SpaceIcon::emoji("🚀"), {}, std::nullopt, 20));
  line("6 transparent r4.5", Glyph::tileImage(6, none, TileColor::transparent(), 4.5, 17));
  line("1 symbol wide", Glyph::tileImage(1, SpaceIcon::symbol("wide"), {}, std::nullopt, 17));
  line("1 symbol small", Glyph::tileImage(1, SpaceIcon::symbol("small"), {}, std::nullopt, 17));
  line("7 unknown symbol", Glyph::tileImage(7, SpaceIcon::symbol("no.such"), {}, std::nullopt, 20));
  for (std::int64_t index : {3LL, 13LL, -7LL, 1000003LL}) {
    line("1 palette " + std::to_string(index),
         Glyph::tileImage(1, none, TileColor::palette(index), 4.5, 17));
  }
  const SpaceIcon cat = SpaceIcon::picture("cat.png");
  line("2 picture r4", Glyph::tileImage(2, cat, {}, 4.0, 20));
  line("2 picture transparent r4", Glyph::tileImage(2, cat, TileColor::transparent(), 4.0, 20));
  line("4 missing picture", Glyph::tileImage(4, SpaceIcon::picture("gone.png"), {}, {}, 20));
  ImageRef tile = Glyph::tileImage(3, none, {}, 4.5, 17);
  line("badge 3", Glyph::badgedImage(tile, "3"));
  line("badge 12", Glyph::badgedImage(tile, "12"));
  line("icon 🚀🌙 20",
       Glyph::iconImage(SpaceIcon::emoji("🚀🌙"), 20, FontWeight::semibold, Color::white()));
  line("icon picture 16", Glyph::iconImage(cat, 16, FontWeight::semibold, Color::white()));

  // A transparent desktop with an emoji, as itself and as a number on its automatic colour.
  Desktop four = desktop(4, 40_mid);
  store.update(40_mid, [](SpaceMeta& m) {
    m.icon = SpaceIcon::emoji("🚀");
    m.color = TileColor::transparent();
  });
  line("desktop 4", Glyph::tileImage(presentation, four, 17, 4.5));
  line("desktop 4 number only", Glyph::tileImage(presentation, four, 17, 4.5, true));

  // The list glyph: a faded number, or the icon centred.
  Desktop two = desktop(2, 20_mid);
  SpaceGlyph glyph{two, 14, 0.5};
  RecordingCanvas plain, symbol;
  glyph.draw(plain, {0, 0, 20, 20}, presentation);
  store.update(20_mid, [](SpaceMeta& m) { m.icon = SpaceIcon::symbol("small"); });
  glyph.draw(symbol, {0, 0, 20, 20}, presentation);
  out << "list glyph: " << plain.dump() << "\nlist glyph small: " << symbol.dump() << "\n";
  EXPECT_TRUE(matchesGolden("drawing/glyphs.txt", out.str()));
}

TEST_F(GlyphTest, AbsentIconsAreNoImage) {
  const Color white = Color::white();
  EXPECT_FALSE(Glyph::iconImage(SpaceIcon::none(), 16, FontWeight::semibold, white));
  EXPECT_FALSE(Glyph::symbolImage("no.such.symbol", 12, FontWeight::regular, white));
  EXPECT_FALSE(Glyph::iconImage(SpaceIcon::symbol("no.such"), 12, FontWeight::regular, white));
  EXPECT_FALSE(Glyph::iconImage(SpaceIcon::picture("gone.png"), 16, FontWeight::semibold, white));
  EXPECT_FALSE((SpaceGlyph{desktop(2, 20_mid), 14, 1}.body(presentation).image));
}

// --- cache key and tile cache ------------------------------------------------------------

TEST_F(GlyphTest, KeyNamesEveryInputAndNothingElse) {
  EXPECT_EQ(Glyph::tileKey(3, SpaceIcon::symbol("house.fill"), TileColor::automatic(), 17, 4.5),
            "3|sf:house.fill|-1|17.0|4.5");
  EXPECT_EQ(Glyph::tileKey(12, SpaceIcon::none(), TileColor::transparent(), 22, std::nullopt),
            "12||-2|22.0|-1");
  const SpaceIcon none = SpaceIcon::none();
  const std::set<std::string> keys = {
      Glyph::tileKey(3, none, TileColor::palette(4), 17, 4.5),
      Glyph::tileKey(4, none, TileColor::palette(4), 17, 4.5),
      Glyph::tileKey(3, SpaceIcon::emoji("🚀"), TileColor::palette(4), 17, 4.5),
      Glyph::tileKey(3, none, TileColor::palette(5), 17, 4.5),
      Glyph::tileKey(3, none, TileColor::palette(4), 17.5, 4.5),
      Glyph::tileKey(3, none, TileColor::palette(4), 17, 4),
      Glyph::tileKey(3, none, TileColor::palette(4), 17, std::nullopt)};
  EXPECT_EQ(keys.size(), 7u);
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

TEST_F(GlyphTest, ACorruptPictureShowsTheNumber) {
  test_support::TemporaryFolder dir;
  std::ofstream(dir.path() / "broken.png") << "\x89PNG\r\n\x1a\n not really a picture";
  linuxhost::PixbufImageIO pixbuf;
  Glyph::setServices({&symbols, &pixbuf, &measure, dir.path()});
  RecordingCanvas corrupt = draw(Glyph::tileImage(4, SpaceIcon::picture("broken.png"),
                                                  TileColor::transparent(), std::nullopt, 20));
  EXPECT_EQ(corrupt.dump().find("bitmap"), std::string::npos);
  ASSERT_EQ(corrupt.texts.size(), 1u);
  EXPECT_EQ(corrupt.texts[0].text, "4");
  EXPECT_FALSE(
      Glyph::iconImage(SpaceIcon::picture("broken.png"), 16, FontWeight::semibold, Color::white()));
}

// --- hostile input ------------------------------------------------------------------------------

TEST_F(GlyphTest, HostileInputDrawsSomethingSensible) {
  // Fifty code points of emoji keep at most two, and still draw.
  std::string many;
  for (int i = 0; i < 50; ++i) many += "😀";
  RecordingCanvas c = draw(Glyph::tileImage(1, SpaceIcon::emoji(many), {}, 4.5, 17));
  ASSERT_EQ(c.texts.size(), 1u);
  EXPECT_LE(c.texts[0].text.size(), 8u);

  // One joined cluster of fifty code points is kept whole and drawn, on a real canvas too.
  std::string family;
  for (int i = 0; i < 25; ++i) family += "👩\u200D";
  ImageRef joined = Glyph::tileImage(1, SpaceIcon::emoji(family), {}, 4.5, 17);
  EXPECT_EQ(draw(joined).texts.size(), 1u);
  linuxhost::CairoCanvasFactory cairo;
  EXPECT_TRUE(platform::rasterize(cairo, *joined, 2));
  ImageRef bare =
      Glyph::iconImage(SpaceIcon::emoji(family), 16, FontWeight::semibold, Color::white());
  ASSERT_TRUE(bare);
  EXPECT_TRUE(platform::rasterize(cairo, *bare, 2));

  // A 2000-character name changes nothing about the tile; as badge text it stays bounded.
  Desktop nine = desktop(9, 90_mid);
  store.update(90_mid, [](SpaceMeta& m) { m.name = std::string(2000, 'x'); });
  EXPECT_EQ(draw(Glyph::tileImage(presentation, nine, 17)).texts.at(0).text, "9");
  ImageRef badged =
      Glyph::badgedImage(Glyph::tileImage(presentation, nine, 17), std::string(2000, 'x'));
  EXPECT_EQ(badged->size(), (Size{20, 20}));
  EXPECT_LE(draw(badged).fills.back().width, 20.0);

  // Degenerate sizes and images draw nothing rather than crash.
  EXPECT_EQ(Glyph::tileImage(1, SpaceIcon::none(), {}, std::nullopt, -3)->size(), (Size{0, 0}));
  EXPECT_EQ(Glyph::badgedImage(nullptr, "1")->size(), (Size{3, 3}));
}

// --- pixels
// ---------------------------------------------------------------------------------------

// Through the real canvas at scale 2: the palette colour under the sheen, and a transparent
// tile's outline around an empty centre.
TEST_F(GlyphTest, TilesRasterizeAsTheirGoldenPictures) {
  linuxhost::CairoCanvasFactory cairo;
  symbols.known["blank"] = {4, 4};  // a symbol that draws nothing leaves the centre to the fill
  symbols.invisible.insert("blank");
  for (auto [colour, name] : {std::pair{TileColor::palette(5), "palette5"},
                              std::pair{TileColor::transparent(), "transparent"}}) {
    ImageRef tile = Glyph::tileImage(1, SpaceIcon::symbol("blank"), colour, 4.5, 20);
    auto canvas = platform::rasterize(cairo, *tile, 2);
    ASSERT_TRUE(canvas);
    EXPECT_TRUE(matchesGoldenPNG(std::string("drawing/tile-") + name + "@2x.png", *canvas));
  }
}

}  // namespace
}  // namespace velmora
