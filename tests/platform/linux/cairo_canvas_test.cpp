#include "platform/linux/cairo_canvas.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "golden.h"
#include "platform/linux/alpha_blur.h"
#include "platform/linux/test_pictures.h"

namespace velmora {
namespace {

using namespace test_support;
using platform::Canvas;
using platform::CanvasRect;
using platform::Color;
using platform::Font;
using platform::FontWeight;
using platform::Path;

// The pixel under a point of the canvas (points, y down).
Rgba at(const Canvas& canvas, double x, double y) {
  const platform::Bitmap bitmap = canvas.bitmap();
  const int px = static_cast<int>(x * canvas.scale()), py = static_cast<int>(y * canvas.scale());
  const std::uint8_t* p = &bitmap.rgba[(std::size_t(py) * bitmap.pixelWidth + px) * 4];
  return {p[0], p[1], p[2], p[3]};
}

bool matches(Rgba x, Rgba y, int tolerance = 3) {
  return std::abs(x.r - y.r) <= tolerance && std::abs(x.g - y.g) <= tolerance &&
         std::abs(x.b - y.b) <= tolerance && std::abs(x.a - y.a) <= tolerance;
}

const Rgba kClear{0, 0, 0, 0};
const Color kRedColor{1, 0, 0, 1}, kBlueColor{0, 0, 1, 1};

class CairoCanvasTest : public ::testing::Test {
 protected:
  std::unique_ptr<Canvas> make(double w, double h, double scale = 1) {
    auto canvas = factory.makeCanvas({w, h}, scale);
    EXPECT_TRUE(canvas);
    return canvas;
  }
  linuxhost::CairoCanvasFactory factory;
};

TEST_F(CairoCanvasTest, CanvasesArePointsTimesScaleInPixelsAndRefuseEmptySizes) {
  auto canvas = make(17, 12.5, 3);
  EXPECT_EQ(canvas->pixelWidth(), 51);
  EXPECT_EQ(canvas->pixelHeight(), 38);  // partial pixels round up
  EXPECT_EQ(canvas->bitmap().pointSize, (Size{17, 12.5}));
  EXPECT_TRUE(matches(at(*canvas, 8, 8), kClear, 0));

  EXPECT_FALSE(factory.makeCanvas({0, 10}, 2));
  EXPECT_FALSE(factory.makeCanvas({10, 10}, 0));
  EXPECT_FALSE(factory.makeCanvas({1e6, 10}, 2));
  // A vector image is drawn afresh at the backing scale, not scaled up from its points.
  auto image =
      platform::rasterize(factory, platform::DrawnImage({17, 17}, [](Canvas&, Size) {}), 3);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixelWidth(), 51);
  EXPECT_EQ(image->pixelHeight(), 51);
}

platform::Bitmap twoColourImage() {
  // 4 × 2 pixels: the left half red, the right half blue.
  platform::Bitmap image{4, 2, {4, 2}, {}};
  for (int i = 0; i < 8; ++i) {
    const bool left = i % 4 < 2;
    image.rgba.insert(image.rgba.end(),
                      {std::uint8_t(left ? 255 : 0), 0, std::uint8_t(left ? 0 : 255), 255});
  }
  return image;
}

// Every drawing operation once, at 1x and 2x, against its golden picture: a rounded
// rectangle, a scaled translation undone by restore, a circular clip that ends with restore,
// a gradient kept beyond its ends and a white sheen, a blurred shadow at an offset in points
// that goes with the state, two overlapping strokes faded together, a picture stretched,
// fitted and filled (and an empty one drawn as nothing), and a vector image drawn at the
// canvas's own resolution.
TEST_F(CairoCanvasTest, EveryOperationDrawsAsItsGoldenPicture) {
  const platform::DrawnImage quarter({17, 17}, [](Canvas& c, Size s) {
    c.fill(Path::rect({0, 0, s.width / 2, s.height / 2}), kRedColor);
  });
  for (int scale : {1, 2}) {
    auto canvas = make(100, 56, scale);
    canvas->fill(Path::roundedRect({2, 2, 20, 20}, 6), kRedColor);
    canvas->save();
    canvas->translate(26, 2);
    canvas->scaleBy(2, 2);
    canvas->fill(Path::rect({0, 0, 4, 4}), kBlueColor);
    canvas->restore();
    canvas->fill(Path::rect({36, 2, 2, 2}), kBlueColor);
    canvas->save();
    canvas->clip(Path::ellipse({42, 2, 10, 10}));
    canvas->fill(Path::rect({42, 2, 20, 20}), kRedColor);
    canvas->restore();
    canvas->fill(Path::rect({52, 12, 6, 6}), kBlueColor);
    canvas->fill(Path::rect({0, 26, 100, 6}),
                 platform::LinearGradient{{20, 0}, {80, 0}, {{0, kRedColor}, {1, kBlueColor}}});
    canvas->fill(
        Path::rect({62, 12, 10, 10}),
        platform::LinearGradient{{0, 22}, {0, 12}, {{0, Color::white(0)}, {1, Color::white(0.5)}}});
    canvas->save();
    canvas->setShadow(platform::Shadow{Color::black(1), 4, {0, 6}});
    canvas->fill(Path::rect({76, 2, 12, 8}), Color::white());
    canvas->setShadow(platform::Shadow{Color::black(0.5), 0, {3, 0}});
    canvas->fill(Path::rect({76, 16, 6, 6}), Color::white());
    canvas->restore();
    canvas->fill(Path::rect({92, 2, 4, 4}), kRedColor);
    canvas->save();
    canvas->setAlpha(0.5);
    canvas->stroke(Path().moveTo({2, 40}).lineTo({20, 40}).lineTo({2, 40}), kRedColor, 4);
    canvas->restore();
    canvas->fill(Path::rect({22, 38, 4, 4}), kRedColor);
    canvas->drawImage(twoColourImage(), {30, 36, 12, 12});
    canvas->drawImage(twoColourImage(), {44, 36, 12, 12}, platform::ImageScaling::aspectFit);
    canvas->drawImage(twoColourImage(), {58, 36, 12, 12}, platform::ImageScaling::aspectFill);
    canvas->drawImage(platform::Bitmap{}, {58, 36, 12, 12});
    canvas->drawImage(quarter, CanvasRect{74, 36, 14, 14});
    canvas->fill(Path::rect({90, 36, 4, 4}), kBlueColor);  // the image left the state alone
    EXPECT_TRUE(
        testing::matchesGoldenPNG("canvas/operations@" + std::to_string(scale) + "x.png", *canvas));
  }
}

// Text measured at 1x (the same in points at 3x), one font a line, and truncated to fit:
// every cut keeps a prefix, ends in an ellipsis and fits its room (with no room, the ellipsis).
TEST_F(CairoCanvasTest, TextMeasuresAndTruncatesAsItsGolden) {
  auto canvas = make(10, 10, 1);
  auto retina = make(10, 10, 3);
  std::string out;
  for (Font font : {Font::system(13), Font::system(13, FontWeight::medium),
                    Font::system(13, FontWeight::semibold), Font::system(13, FontWeight::bold),
                    Font::system(26)}) {
    for (const char* text : {"Desktop", "Desktop 12", ""}) {
      const Size size = canvas->measureText(text, font);
      EXPECT_NEAR(retina->measureText(text, font).width, size.width, 0.01) << text;
      out += std::string("\"") + text + "\" " + testing::num(font.pointSize) + " weight " +
             std::to_string(static_cast<int>(font.weight)) + ": " + testing::num(size.width) + "x" +
             testing::num(size.height) + "\n";
    }
  }
  const Font font = Font::system(13, FontWeight::medium);
  const std::string name = "Quarterly planning and reviews";
  const double width = canvas->measureText(name, font).width;
  for (double share : {1.01, 0.6, 0.3, 0.01}) {
    const std::string cut = canvas->truncateTail(name, font, width * share);
    EXPECT_TRUE(cut == "…" || canvas->measureText(cut, font).width <= width * share) << cut;
    out += "in " + testing::num(width * share) + ": \"" + cut + "\"\n";
  }
  EXPECT_TRUE(testing::matchesGolden("canvas/text.txt", out));
}

// Drawn text at 2x: a name cut at 60 points (nothing past it) and the whole name; a tile's
// number in white although digits are in the emoji font too (for keycaps); an emoji in its
// own colours, asked for directly or found through the system font.
TEST_F(CairoCanvasTest, TextDrawsAsItsGoldenPicture) {
  if (!linuxhost::hasColorEmojiFont()) GTEST_SKIP() << "no colour emoji font installed";
  auto canvas = make(240, 80, 2);
  const Font medium = Font::system(13, FontWeight::medium);
  canvas->drawText("Quarterly planning and reviews", medium, Color::white(), {0, 5}, 60);
  canvas->drawText("Quarterly planning and reviews", medium, Color::white(), {0, 25});
  canvas->drawText("3 #", Font::system(18, FontWeight::bold), Color::white(), {2, 48});
  canvas->drawText("🌳", Font{20, FontWeight::regular, platform::FontFamily::emoji}, Color::white(),
                   {60, 48});
  canvas->drawText("🌳", Font::system(20), Color::white(), {90, 48});
  EXPECT_TRUE(testing::matchesGoldenPNG("canvas/text@2x.png", *canvas));
}

// A 5 × 5 square blurred by σ 2 (three passes of box radius 2): softened, spread evenly three
// radii out and no further, coverage kept, row padding untouched; rows 11 to 29 in the golden.
TEST(CairoAlphaBlurTest, SpreadsCoverageEvenlyAsItsGolden) {
  EXPECT_EQ(linuxhost::boxRadiusForSigma(0), 0);
  EXPECT_EQ(linuxhost::boxRadiusForSigma(2), 2);  // three passes of 5: variance 6 ≈ 4
  const int size = 41, stride = 44;
  std::vector<std::uint8_t> mask(std::size_t(stride) * size, 0);
  for (int y = 18; y <= 22; ++y) std::fill_n(&mask[y * stride + 18], 5, 255);
  linuxhost::blurAlpha(mask.data(), size, size, stride, 2);
  long total = 0, padding = 0;
  std::string rows;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < stride; ++x) (x < size ? total : padding) += mask[y * stride + x];
    for (int x = 11; y >= 11 && y <= 29 && x <= 29; ++x) {
      rows += std::to_string(mask[y * stride + x]) + (x == 29 ? "\n" : " ");
    }
  }
  EXPECT_NEAR(total, 25 * 255, 25 * 255 / 20);
  EXPECT_EQ(padding, 0);
  EXPECT_TRUE(testing::matchesGolden("canvas/blur.txt", rows));
}

}  // namespace
}  // namespace velmora
