#include "store/picture_import.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/linux/pixbuf_image_io.h"
#include "platform/linux/test_pictures.h"
#include "test_ids.h"

namespace velmora {
namespace {

using namespace test_support;
using namespace testing;

// Stands in for the platform to see where the picture is placed and how failures surface.
class RecordingImages final : public platform::ImageIO {
 public:
  std::optional<platform::Bitmap> picture;
  bool canvasFails = false, encodingFails = false;
  std::vector<platform::CanvasRect> drawn;

  void pictureOf(Size points) {
    picture = platform::Bitmap{4, 4, points, std::vector<std::uint8_t>(64)};
  }
  std::optional<platform::Bitmap> load(const std::filesystem::path&) override { return picture; }
  std::optional<platform::Bitmap> makeCanvas(int w, int h) override {
    if (canvasFails) return std::nullopt;
    return platform::Bitmap{w, h, {double(w), double(h)}, std::vector<std::uint8_t>(w * h * 4)};
  }
  void drawImage(const platform::Bitmap&, platform::Bitmap& canvas,
                 const platform::CanvasRect& into) override {
    EXPECT_EQ(canvas.pointSize, (Size{256, 256}));
    drawn.push_back(into);
  }
  std::optional<std::vector<std::uint8_t>> encodePNG(const platform::Bitmap&) override {
    if (encodingFails) return std::nullopt;
    return std::vector<std::uint8_t>{0x89, 'P', 'N', 'G'};
  }
};

class PictureImportTest : public ::testing::Test {
 protected:
  std::filesystem::path icons() const { return home.applicationSupport() / "Velmora" / "icons"; }
  bool iconsEmpty() const {
    std::error_code ignored;
    return std::filesystem::directory_iterator(icons(), ignored) ==
           std::filesystem::directory_iterator();
  }
  // The sentence a failed import gives.
  std::string failure(const Result<std::string>& result) {
    EXPECT_FALSE(result);
    return result.error();
  }

  TemporaryFolder folder;
  platform::HomeFolder home{folder.path() / "home"};
  linuxhost::PixbufImageIO images;
};

TEST_F(PictureImportTest, WidePngAndTallJpegFillTheSquareWithTheirMiddle) {
  // Four stripes across the long side: scaled to fill, only the inner two show, split halfway.
  const std::vector<Rgba> colours = {kGreen, kRed, kBlue, kYellow};
  save(stripes(400, 200, colours, true), folder.path() / "wide.png", "png");
  save(stripes(200, 400, colours, false), folder.path() / "tall.jpg", "jpeg", {"quality"}, {"100"});

  auto wide = importPicture(images, folder.path() / "wide.png", 42_mid, 1700000000.75, home);
  auto tall = importPicture(images, folder.path() / "tall.jpg", 7_mid, 86400.2, home);
  EXPECT_EQ(wide.valueOr(""), "space-42-1700000000.png");
  EXPECT_EQ(tall.valueOr(""), "space-7-86400.png");
  // Another picture within the same second gets a name of its own: the first one stays, and
  // nothing that remembers pictures by name can mistake one for the other.
  auto again = importPicture(images, folder.path() / "tall.jpg", 42_mid, 1700000000.1, home);
  EXPECT_EQ(again.valueOr(""), "space-42-1700000000-2.png");
  EXPECT_EQ(picturesFolder(home), home.root / "Library/Application Support/Velmora/icons");

  Pixbuf across = read(icons() / "space-42-1700000000.png");
  Pixbuf down = read(icons() / "space-7-86400.png");
  ASSERT_TRUE(across && down);
  EXPECT_EQ(gdk_pixbuf_get_width(across.get()), 256);
  EXPECT_EQ(gdk_pixbuf_get_height(across.get()), 256);
  // Near the cut edges the neighbouring stripes blend in, so look a few pixels inside.
  for (int i : {0, 128, 255}) {
    for (auto [at, colour] : {std::pair{4, kRed}, {124, kRed}, {131, kBlue}, {251, kBlue}}) {
      EXPECT_EQ(pixelAt(across, at, i), colour) << at << "," << i;
      EXPECT_PRED2(near, pixelAt(down, i, at), colour) << i << "," << at;
    }
  }
}

TEST_F(PictureImportTest, WhatCannotBeOpenedIsUnreadableAndWritesNothing) {
  std::ofstream(folder.path() / "notes.txt") << "Shopping: milk, eggs.\n";
  save(stripes(64, 64, {kRed, kBlue}, true), folder.path() / "whole.png", "png");
  std::ifstream whole(folder.path() / "whole.png", std::ios::binary);
  std::string bytes(std::istreambuf_iterator<char>(whole), {});
  std::ofstream(folder.path() / "cut.png", std::ios::binary) << bytes.substr(0, bytes.size() / 2);

  for (const char* name : {"notes.txt", "cut.png", "missing.png"}) {
    EXPECT_EQ(failure(importPicture(images, folder.path() / name, 1_mid, 1e9, home)),
              "That file is not a picture macOS can open.")
        << name;
  }
  EXPECT_TRUE(iconsEmpty());
}

TEST_F(PictureImportTest, AFolderThatCannotBeWrittenGivesTheSystemsReason) {
  save(stripes(10, 10, {kRed}, true), folder.path() / "red.png", "png");
  std::filesystem::create_directories(icons().parent_path());
  std::ofstream(icons()) << "a file where the folder should be";

  EXPECT_EQ(failure(importPicture(images, folder.path() / "red.png", 3_mid, 5, home)),
            "The picture could not be saved: Not a directory");
}

TEST_F(PictureImportTest, APictureThatCannotBeConvertedWritesNothing) {
  RecordingImages fake;
  fake.pictureOf({10, 10});
  fake.canvasFails = true;
  EXPECT_EQ(failure(importPicture(fake, "a.png", 1_mid, 2, home)),
            "The picture could not be converted.");
  fake.canvasFails = false;
  fake.encodingFails = true;
  EXPECT_EQ(failure(importPicture(fake, "a.png", 1_mid, 2, home)),
            "The picture could not be converted.");
  EXPECT_TRUE(iconsEmpty());
}

TEST_F(PictureImportTest, PlacementFollowsThePointSizeEachAtLeastOnePoint) {
  RecordingImages fake;
  const std::vector<std::pair<Size, platform::CanvasRect>> cases = {
      {{400, 200}, {-128, 0, 512, 256}}, {{100, 400}, {0, -384, 256, 1024}},
      {{512, 512}, {0, 0, 256, 256}},    {{0.25, 0.5}, {0, 0, 256, 256}},
      {{0.5, 4}, {0, -384, 256, 1024}},
  };
  for (const auto& [points, expected] : cases) {
    fake.pictureOf(points);
    fake.drawn.clear();
    EXPECT_TRUE(importPicture(fake, "a.png", 9_mid, 1, home));
    ASSERT_EQ(fake.drawn.size(), 1u);
    EXPECT_EQ(fake.drawn[0], expected) << points.width << "x" << points.height;
  }
}

}  // namespace
}  // namespace velmora
