#pragma once
// Real picture files for tests, drawn and written by gdk-pixbuf itself, pixels read back
// without the code under test, and a temporary folder that is removed afterwards.

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace velmora::test_support {

struct Rgba {
  int r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Rgba& c) {
  return out << "rgba(" << c.r << "," << c.g << "," << c.b << "," << c.a << ")";
}
// Close enough to survive JPEG compression.
inline bool near(Rgba x, Rgba y) {
  return std::abs(x.r - y.r) <= 24 && std::abs(x.g - y.g) <= 24 && std::abs(x.b - y.b) <= 24 &&
         std::abs(x.a - y.a) <= 24;
}
inline const Rgba kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0};

struct PixbufUnref {
  void operator()(GdkPixbuf* p) const { g_object_unref(p); }
};
using Pixbuf = std::unique_ptr<GdkPixbuf, PixbufUnref>;

// Equal stripes of the colours, left to right, or top to bottom when `across` is false.
inline Pixbuf stripes(int width, int height, const std::vector<Rgba>& colours, bool across) {
  Pixbuf pixbuf(gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height));
  const int n = static_cast<int>(colours.size()), stride = gdk_pixbuf_get_rowstride(pixbuf.get());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgba& c = colours[across ? x * n / width : y * n / height];
      guchar* p = gdk_pixbuf_get_pixels(pixbuf.get()) + y * stride + x * 4;
      p[0] = guchar(c.r), p[1] = guchar(c.g), p[2] = guchar(c.b), p[3] = guchar(c.a);
    }
  }
  return pixbuf;
}

// Writes the picture as `type` ("png", "jpeg") with key/value save options.
inline void save(const Pixbuf& pixbuf, const std::filesystem::path& file, const char* type,
                 std::vector<const char*> keys = {}, std::vector<const char*> values = {}) {
  keys.push_back(nullptr);
  values.push_back(nullptr);
  GError* error = nullptr;
  ASSERT_TRUE(gdk_pixbuf_savev(pixbuf.get(), file.c_str(), type, const_cast<char**>(keys.data()),
                               const_cast<char**>(values.data()), &error))
      << error->message;
}

inline Pixbuf read(const std::filesystem::path& file) {
  return Pixbuf(gdk_pixbuf_new_from_file(file.c_str(), nullptr));
}

inline Rgba pixelAt(const Pixbuf& pixbuf, int x, int y) {
  const guchar* p = gdk_pixbuf_read_pixels(pixbuf.get()) +
                    y * gdk_pixbuf_get_rowstride(pixbuf.get()) +
                    x * gdk_pixbuf_get_n_channels(pixbuf.get());
  return {p[0], p[1], p[2], gdk_pixbuf_get_has_alpha(pixbuf.get()) ? p[3] : 255};
}

class TemporaryFolder {
 public:
  TemporaryFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("velmora-" + std::string(test->name()) + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace velmora::test_support
