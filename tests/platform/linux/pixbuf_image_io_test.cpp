#include "platform/linux/pixbuf_image_io.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/linux/test_pictures.h"

namespace velmora {
namespace {

using namespace test_support;

Rgba pixelOf(const platform::Bitmap& bitmap, int x, int y) {
  const std::uint8_t* p = &bitmap.rgba[(std::size_t(y) * bitmap.pixelWidth + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

platform::Bitmap filled(int width, int height, Rgba c) {
  platform::Bitmap bitmap{width, height, {double(width), double(height)}, {}};
  bitmap.rgba.resize(std::size_t(width) * std::size_t(height) * 4);
  for (std::size_t i = 0; i < bitmap.rgba.size(); i += 4) {
    bitmap.rgba[i] = std::uint8_t(c.r);
    bitmap.rgba[i + 1] = std::uint8_t(c.g);
    bitmap.rgba[i + 2] = std::uint8_t(c.b);
    bitmap.rgba[i + 3] = std::uint8_t(c.a);
  }
  return bitmap;
}

TEST(PixbufImageIOTest, LoadsStraightRgbaSizedInPointsByTheRecordedResolution) {
  TemporaryFolder folder;
  linuxhost::PixbufImageIO images;
  save(stripes(40, 20, {kRed, {0, 0, 255, 128}}, true), folder.path() / "plain.png", "png");
  save(stripes(200, 100, {kRed}, true), folder.path() / "retina.png", "png", {"x-dpi", "y-dpi"},
       {"144", "144"});
  save(stripes(300, 150, {kGreen}, true), folder.path() / "print.jpg", "jpeg", {"x-dpi", "y-dpi"},
       {"300", "300"});

  auto plain = images.load(folder.path() / "plain.png");
  ASSERT_TRUE(plain && plain->isValid());
  EXPECT_EQ(plain->pointSize, (Size{40, 20}));
  EXPECT_EQ(pixelOf(*plain, 35, 10), (Rgba{0, 0, 255, 128}));

  auto retina = images.load(folder.path() / "retina.png");
  ASSERT_TRUE(retina);
  EXPECT_EQ(retina->pixelWidth, 200);
  EXPECT_EQ(retina->pointSize, (Size{100, 50}));

  // A JPEG has no alpha of its own and comes out opaque.
  auto print = images.load(folder.path() / "print.jpg");
  ASSERT_TRUE(print);
  EXPECT_EQ(print->pointSize, (Size{72, 36}));
  EXPECT_PRED2(near, pixelOf(*print, 150, 75), kGreen);
}

TEST(PixbufImageIOTest, DrawingReplacesThePixelsInsideTheRectangleOnly) {
  linuxhost::PixbufImageIO images;
  auto canvas = images.makeCanvas(8, 8);
  ASSERT_TRUE(canvas);
  EXPECT_EQ(pixelOf(*canvas, 3, 3), (Rgba{0, 0, 0, 0}));
  EXPECT_FALSE(images.makeCanvas(0, 8));
  EXPECT_FALSE(images.makeCanvas(1 << 20, 1 << 20));

  // Half-transparent blue takes the place of the green rather than mixing with it, and what
  // falls off the canvas is cut.
  *canvas = filled(8, 8, kGreen);
  images.drawImage(filled(2, 2, {0, 0, 255, 128}), *canvas, {4, 4, 8, 8});
  EXPECT_EQ(pixelOf(*canvas, 3, 3), kGreen);
  EXPECT_EQ(pixelOf(*canvas, 3, 6), kGreen);
  EXPECT_EQ(pixelOf(*canvas, 4, 4), (Rgba{0, 0, 255, 128}));
  EXPECT_EQ(pixelOf(*canvas, 7, 7), (Rgba{0, 0, 255, 128}));

  platform::Bitmap before = *canvas;
  images.drawImage(filled(2, 2, kRed), *canvas, {8, 0, 4, 4});
  images.drawImage(platform::Bitmap{}, *canvas, {0, 0, 8, 8});
  EXPECT_EQ(canvas->rgba, before.rgba);
}

TEST(PixbufImageIOTest, EncodedPngKeepsEveryPixelAndItsAlpha) {
  TemporaryFolder folder;
  linuxhost::PixbufImageIO images;
  platform::Bitmap bitmap = filled(3, 2, {10, 20, 30, 255});
  bitmap.rgba[4 * 4 + 3] = 0;
  bitmap.rgba[5 * 4 + 3] = 77;
  auto png = images.encodePNG(bitmap);
  ASSERT_TRUE(png);
  std::ofstream(folder.path() / "out.png", std::ios::binary)
      .write(reinterpret_cast<const char*>(png->data()), std::streamsize(png->size()));
  Pixbuf again = read(folder.path() / "out.png");
  ASSERT_TRUE(again);
  EXPECT_EQ(pixelAt(again, 2, 1), (Rgba{10, 20, 30, 77}));
  EXPECT_EQ(pixelAt(again, 1, 1).a, 0);
  EXPECT_EQ(pixelAt(again, 0, 0), (Rgba{10, 20, 30, 255}));
  EXPECT_FALSE(images.encodePNG(platform::Bitmap{2, 2, {2, 2}, {1, 2, 3}}));
}

}  // namespace
}  // namespace velmora
