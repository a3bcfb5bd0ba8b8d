#include "platform/linux/cairo_canvas.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

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
}

TEST_F(CairoCanvasTest, RoundedRectFillsItsMiddleAndLeavesItsCornersClearAtScale2) {
  auto canvas = make(20, 20, 2);
  canvas->fill(Path::roundedRect({0, 0, 20, 20}, 6), kRedColor);
  EXPECT_TRUE(matches(at(*canvas, 10, 10), kRed, 0));
  EXPECT_TRUE(matches(at(*canvas, 0, 10), kRed, 0));  // straight edges run to the border
  EXPECT_TRUE(matches(at(*canvas, 10, 19.5), kRed, 0));
  for (auto [x, y] : {std::pair{0.0, 0.0}, {19.5, 0.0}, {0.0, 19.5}, {19.5, 19.5}, {1.0, 1.0}}) {
    EXPECT_EQ(at(*canvas, x, y).a, 0) << x << "," << y;
  }
}

TEST_F(CairoCanvasTest, YGrowsDownwardsAndTransformsMoveLaterDrawing) {
  auto canvas = make(20, 20);
  canvas->fill(Path::rect({0, 0, 20, 5}), kRedColor);
  EXPECT_TRUE(matches(at(*canvas, 10, 1), kRed, 0));
  EXPECT_EQ(at(*canvas, 10, 18).a, 0);

  canvas->save();
  canvas->translate(10, 10);
  canvas->scaleBy(2, 2);
  canvas->fill(Path::rect({0, 0, 4, 4}), kBlueColor);  // lands on (10,10)–(18,18)
  canvas->restore();
  EXPECT_TRUE(matches(at(*canvas, 17, 17), kBlue, 0));
  EXPECT_EQ(at(*canvas, 9, 12).a, 0);
  canvas->fill(Path::rect({0, 18, 2, 2}), kBlueColor);  // restored: no transform any more
  EXPECT_TRUE(matches(at(*canvas, 1, 19), kBlue, 0));
}

TEST_F(CairoCanvasTest, ClipKeepsPaintOutUntilRestored) {
  auto canvas = make(20, 20, 2);
  canvas->save();
  canvas->clip(Path::ellipse({0, 0, 10, 10}));
  canvas->fill(Path::rect({0, 0, 20, 20}), kRedColor);
  canvas->restore();
  EXPECT_TRUE(matches(at(*canvas, 5, 5), kRed, 0));
  EXPECT_EQ(at(*canvas, 15, 15).a, 0);
  EXPECT_EQ(at(*canvas, 0.5, 0.5).a, 0);  // outside the circle, inside its box

  canvas->fill(Path::rect({10, 10, 10, 10}), kBlueColor);
  EXPECT_TRUE(matches(at(*canvas, 15, 15), kBlue, 0));
}

TEST_F(CairoCanvasTest, GradientRunsBetweenItsEndsAndKeepsTheEndColoursBeyond) {
  auto canvas = make(100, 10);
  platform::LinearGradient gradient{{20, 0}, {80, 0}, {{0, kRedColor}, {1, kBlueColor}}};
  canvas->fill(Path::rect({0, 0, 100, 10}), gradient);
  EXPECT_TRUE(matches(at(*canvas, 5, 5), kRed, 0));
  EXPECT_TRUE(matches(at(*canvas, 20, 5), kRed, 6));
  EXPECT_TRUE(matches(at(*canvas, 50, 5), {128, 0, 128, 255}, 6));
  EXPECT_TRUE(matches(at(*canvas, 79, 5), kBlue, 6));
  EXPECT_TRUE(matches(at(*canvas, 95, 5), kBlue, 0));

  // The sheen of a tile: white fading to clear, only inside the filled shape.
  auto sheen = make(10, 20);
  sheen->fill(
      Path::rect({0, 10, 10, 10}),
      platform::LinearGradient{{0, 20}, {0, 10}, {{0, Color::white(0)}, {1, Color::white(0.5)}}});
  EXPECT_EQ(at(*sheen, 5, 5).a, 0);
  EXPECT_NEAR(at(*sheen, 5, 10).a, 128, 8);
  EXPECT_LT(at(*sheen, 5, 19).a, 12);
}

TEST_F(CairoCanvasTest, ShadowFallsAtItsOffsetWithSoftEdgesAndNotOnTheFarSide) {
  auto canvas = make(60, 60);
  canvas->save();
  canvas->setShadow(platform::Shadow{Color::black(1), 4, {0, 10}});
  canvas->fill(Path::rect({20, 10, 20, 20}), Color::white());
  canvas->restore();

  EXPECT_TRUE(matches(at(*canvas, 30, 20), {255, 255, 255, 255}, 0));  // the shape stays on top
  Rgba below = at(*canvas, 30, 35);
  EXPECT_GT(below.a, 200);
  EXPECT_LT(below.r, 10);
  EXPECT_EQ(at(*canvas, 30, 5).a, 0);  // the far side
  int edge = at(*canvas, 41, 35).a;    // just past the shadow's side: blurred, not cut
  EXPECT_GT(edge, 20);
  EXPECT_LT(edge, 235);
  EXPECT_EQ(at(*canvas, 55, 35).a, 0);

  canvas->fill(Path::rect({0, 40, 10, 10}), kRedColor);  // the shadow went with the state
  EXPECT_EQ(at(*canvas, 5, 55).a, 0);
}

TEST_F(CairoCanvasTest, ShadowOffsetAndBlurAreInPointsAtEveryScale) {
  for (double scale : {1.0, 2.0}) {
    auto canvas = make(40, 40, scale);
    canvas->setShadow(platform::Shadow{Color::black(0.5), 0, {6, 0}});
    canvas->fill(Path::rect({10, 10, 10, 10}), Color::white());
    EXPECT_NEAR(at(*canvas, 23, 15).a, 128, 2) << scale;
    EXPECT_EQ(at(*canvas, 27, 15).a, 0) << scale;
  }
}

TEST_F(CairoCanvasTest, AlphaFadesLaterDrawingAndIsPartOfTheSavedState) {
  auto canvas = make(20, 10);
  canvas->save();
  canvas->setAlpha(0.5);
  // Two overlapping strokes of one path fade together, not one through the other.
  canvas->stroke(Path().moveTo({0, 5}).lineTo({10, 5}).lineTo({0, 5}), kRedColor, 4);
  canvas->restore();
  canvas->fill(Path::rect({10, 0, 10, 10}), kRedColor);
  EXPECT_TRUE(matches(at(*canvas, 5, 5), {255, 0, 0, 128}, 2));
  EXPECT_TRUE(matches(at(*canvas, 15, 5), kRed, 0));
}

platform::Bitmap twoColourImage() {
  // 4 × 2 pixels: the left half red, the right half blue.
  platform::Bitmap image{4, 2, {4, 2}, {}};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      const bool left = x < 2;
      image.rgba.insert(image.rgba.end(),
                        {std::uint8_t(left ? 255 : 0), 0, std::uint8_t(left ? 0 : 255), 255});
    }
  }
  return image;
}

TEST_F(CairoCanvasTest, ImagesStretchFitOrFillTheirRectangle) {
  const platform::Bitmap image = twoColourImage();

  auto stretched = make(20, 20);
  stretched->drawImage(image, {0, 0, 20, 20});
  EXPECT_TRUE(matches(at(*stretched, 2, 1), kRed, 0));
  EXPECT_TRUE(matches(at(*stretched, 18, 19), kBlue, 0));

  auto fitted = make(20, 20);
  fitted->drawImage(image, {0, 0, 20, 20}, platform::ImageScaling::aspectFit);
  EXPECT_EQ(at(*fitted, 2, 2).a, 0);  // bars above and below
  EXPECT_EQ(at(*fitted, 2, 17).a, 0);
  EXPECT_TRUE(matches(at(*fitted, 2, 10), kRed, 0));
  EXPECT_TRUE(matches(at(*fitted, 18, 10), kBlue, 0));

  // Filling crops the sides: the middle of the picture is what shows, and nothing spills.
  auto filled = make(30, 20);
  filled->drawImage(image, {5, 0, 20, 20}, platform::ImageScaling::aspectFill);
  EXPECT_TRUE(matches(at(*filled, 6, 1), kRed, 0));
  EXPECT_TRUE(matches(at(*filled, 24, 19), kBlue, 0));
  EXPECT_EQ(at(*filled, 2, 10).a, 0);
  EXPECT_EQ(at(*filled, 27, 10).a, 0);

  auto untouched = make(10, 10);
  untouched->drawImage(platform::Bitmap{}, {0, 0, 10, 10});
  EXPECT_EQ(at(*untouched, 5, 5).a, 0);
}

TEST_F(CairoCanvasTest, TextMeasuresTheSameInPointsAtEveryScaleAndGrowsWithLengthAndWeight) {
  auto canvas = make(10, 10, 1);
  auto retina = make(10, 10, 3);
  const Font regular = Font::system(13), bold = Font::system(13, FontWeight::bold);
  const Size word = canvas->measureText("Desktop", regular);
  EXPECT_GT(word.width, 20);
  EXPECT_GT(word.height, 13);
  EXPECT_LT(word.height, 24);
  EXPECT_GT(canvas->measureText("Desktop 12", regular).width, word.width);
  EXPECT_GT(canvas->measureText("Desktop", bold).width, word.width);
  EXPECT_GT(canvas->measureText("Desktop", Font::system(13, FontWeight::semibold)).width,
            canvas->measureText("Desktop", Font::system(13, FontWeight::medium)).width - 0.01);
  EXPECT_NEAR(canvas->measureText("Desktop", Font::system(26)).width, 2 * word.width, 0.5);
  EXPECT_NEAR(retina->measureText("Desktop", regular).width, word.width, 0.01);
  EXPECT_EQ(canvas->measureText("", regular).width, 0);
}

TEST_F(CairoCanvasTest, TruncationKeepsAPrefixEndingInAnEllipsisThatFits) {
  auto canvas = make(200, 30);
  const Font font = Font::system(13, FontWeight::medium);
  const std::string name = "Quarterly planning and reviews";
  const double width = canvas->measureText(name, font).width;

  EXPECT_EQ(canvas->truncateTail(name, font, width + 1), name);
  for (double limit : {width * 0.6, width * 0.3}) {
    const std::string cut = canvas->truncateTail(name, font, limit);
    ASSERT_GE(cut.size(), std::string("…").size());
    EXPECT_TRUE(cut.ends_with("…")) << cut;
    EXPECT_TRUE(name.starts_with(cut.substr(0, cut.size() - std::string("…").size()))) << cut;
    EXPECT_GT(cut.size(), std::string("…").size()) << cut;  // room for some of the name
    EXPECT_LE(canvas->measureText(cut, font).width, limit + 0.01) << cut;
  }

  // Drawn with a limit, nothing lands past it; without one, the full name does.
  canvas->drawText(name, font, Color::white(), {0, 5}, 60);
  auto full = make(200, 30);
  full->drawText(name, font, Color::white(), {0, 5});
  auto inkPast = [](const Canvas& c, double x0) {
    const platform::Bitmap b = c.bitmap();
    int ink = 0;
    for (int y = 0; y < b.pixelHeight; ++y) {
      for (int x = static_cast<int>(x0); x < b.pixelWidth; ++x) {
        ink += b.rgba[(std::size_t(y) * b.pixelWidth + x) * 4 + 3] > 0;
      }
    }
    return ink;
  };
  EXPECT_EQ(inkPast(*canvas, 61), 0);
  EXPECT_GT(inkPast(*full, 61), 0);
  EXPECT_GT(inkPast(*canvas, 0), 0);
}

// Solid pixels of the canvas: those in the given colour, and those of any strong colour.
struct Ink {
  int inColour = 0;
  int coloured = 0;
};
Ink inkOf(const Canvas& canvas, Rgba colour) {
  const platform::Bitmap b = canvas.bitmap();
  Ink ink;
  for (std::size_t i = 0; i < b.rgba.size(); i += 4) {
    if (b.rgba[i + 3] < 200) continue;
    auto [lo, hi] = std::minmax({b.rgba[i], b.rgba[i + 1], b.rgba[i + 2]});
    ink.coloured += hi - lo > 80;
    ink.inColour += matches({b.rgba[i], b.rgba[i + 1], b.rgba[i + 2], 255}, colour, 4);
  }
  return ink;
}

TEST_F(CairoCanvasTest, TextTakesItsColourWhileEmojiKeepTheirOwn) {
  // Digits are in the emoji font too (for keycaps); a tile's number must still be white.
  auto number = make(30, 30, 2);
  number->drawText("3 #", Font::system(18, FontWeight::bold), Color::white(), {2, 2});
  Ink digits = inkOf(*number, {255, 255, 255, 255});
  EXPECT_GT(digits.inColour, 100);
  EXPECT_EQ(digits.coloured, 0);

  if (!linuxhost::hasColorEmojiFont()) GTEST_SKIP() << "no colour emoji font installed";
  for (auto family : {platform::FontFamily::emoji, platform::FontFamily::system}) {
    auto canvas = make(30, 30, 2);
    canvas->drawText("🌳", Font{20, FontWeight::regular, family}, Color::white(), {2, 2});
    EXPECT_GT(inkOf(*canvas, {255, 255, 255, 255}).coloured, 50)
        << (family == platform::FontFamily::emoji ? "emoji" : "system");
  }
}

TEST_F(CairoCanvasTest, PngBytesDecodeBackToTheCanvasPixels) {
  auto canvas = make(20, 12, 2);
  canvas->fill(Path::rect({0, 0, 10, 12}), kRedColor);
  auto png = canvas->encodePNG();
  ASSERT_TRUE(png);
  const std::vector<std::uint8_t> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  ASSERT_GT(png->size(), signature.size());
  EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png->begin()));

  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
  ASSERT_TRUE(gdk_pixbuf_loader_write(loader, png->data(), png->size(), nullptr));
  ASSERT_TRUE(gdk_pixbuf_loader_close(loader, nullptr));
  GdkPixbuf* decoded = gdk_pixbuf_loader_get_pixbuf(loader);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(gdk_pixbuf_get_width(decoded), 40);
  EXPECT_EQ(gdk_pixbuf_get_height(decoded), 24);
  ASSERT_EQ(gdk_pixbuf_get_n_channels(decoded), 4);
  const guint8* p = gdk_pixbuf_read_pixels(decoded);
  const int stride = gdk_pixbuf_get_rowstride(decoded);
  EXPECT_TRUE(matches({p[0], p[1], p[2], p[3]}, kRed, 0));
  EXPECT_EQ(p[10 * stride + 30 * 4 + 3], 0);
  g_object_unref(loader);
}

TEST_F(CairoCanvasTest, VectorImagesDrawSharpAtTheBackingScaleAndScaleIntoAnyRect) {
  // A 17-point square whose top-left quarter is filled.
  const platform::DrawnImage image({17, 17}, [](Canvas& c, Size s) {
    c.fill(Path::rect({0, 0, s.width / 2, s.height / 2}), kRedColor);
  });
  auto one = platform::rasterize(factory, image, 1);
  auto three = platform::rasterize(factory, image, 3);
  ASSERT_TRUE(one && three);
  EXPECT_EQ(one->pixelWidth(), 17);
  EXPECT_EQ(three->pixelWidth(), 51);
  EXPECT_EQ(three->pixelHeight(), 51);
  // Edges fall on device pixels of the larger canvas: no blurred upscale.
  EXPECT_TRUE(matches(at(*three, 8.3, 8.3), kRed, 0));
  EXPECT_EQ(at(*three, 8.7, 8.7).a, 0);

  auto canvas = make(40, 40);
  canvas->drawImage(image, CanvasRect{20, 20, 20, 20});
  EXPECT_TRUE(matches(at(*canvas, 25, 25), kRed, 0));
  EXPECT_EQ(at(*canvas, 35, 35).a, 0);
  EXPECT_EQ(at(*canvas, 10, 10).a, 0);
  canvas->fill(Path::rect({0, 0, 5, 5}), kBlueColor);  // the image left the state alone
  EXPECT_TRUE(matches(at(*canvas, 2, 2), kBlue, 0));
}

TEST(CairoAlphaBlurTest, SpreadsCoverageEvenlyWithoutCreatingOrLosingMuch) {
  EXPECT_EQ(linuxhost::boxRadiusForSigma(0), 0);
  EXPECT_EQ(linuxhost::boxRadiusForSigma(2), 2);  // three passes of 5: variance 6 ≈ 4
  const int size = 41, stride = 44;
  std::vector<std::uint8_t> mask(std::size_t(stride) * size, 0);
  for (int y = 18; y <= 22; ++y) {
    for (int x = 18; x <= 22; ++x) mask[y * stride + x] = 255;
  }
  linuxhost::blurAlpha(mask.data(), size, size, stride, 2);
  auto v = [&](int x, int y) { return int(mask[y * stride + x]); };
  long total = 0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) total += v(x, y);
  }
  EXPECT_NEAR(total, 25 * 255, 25 * 255 / 20);
  EXPECT_LT(v(20, 20), 255);  // softened
  EXPECT_GT(v(20, 20), v(20, 24));
  EXPECT_GT(v(20, 25), 0);  // spread outwards
  EXPECT_EQ(v(20, 25), v(20, 15));
  EXPECT_EQ(v(25, 20), v(15, 20));
  EXPECT_EQ(v(20, 30), 0);  // no further than three box radii
  for (int y = 0; y < size; ++y) {
    for (int x = size; x < stride; ++x) EXPECT_EQ(mask[y * stride + x], 0) << "row padding";
  }
}

}  // namespace
}  // namespace velmora
