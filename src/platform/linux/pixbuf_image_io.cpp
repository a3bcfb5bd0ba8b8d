#include "platform/linux/pixbuf_image_io.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace velmora::linuxhost {

namespace {

struct Unref {
  void operator()(GdkPixbuf* p) const { g_object_unref(p); }
};
using PixbufPtr = std::unique_ptr<GdkPixbuf, Unref>;

// Sizes whose RGBA rows and whole buffer fit gdk-pixbuf's int arithmetic.
bool fitsPixbuf(int width, int height) {
  return width > 0 && height > 0 && width <= INT_MAX / 4 / height;
}

// The resolution a loader found in the file ("x-dpi"/"y-dpi"), or 0 when it recorded none.
double dotsPerInch(GdkPixbuf* pixbuf, const char* key) {
  const gchar* text = gdk_pixbuf_get_option(pixbuf, key);
  if (!text) return 0;
  double dpi = std::strtod(text, nullptr);
  return std::isfinite(dpi) && dpi > 0 ? dpi : 0;
}

// A pixbuf over the bitmap's own bytes, without copying them. The pixbuf must not outlive
// the bitmap.
PixbufPtr wrap(const platform::Bitmap& bitmap) {
  GBytes* bytes = g_bytes_new_static(bitmap.rgba.data(), bitmap.rgba.size());
  PixbufPtr pixbuf(gdk_pixbuf_new_from_bytes(bytes, GDK_COLORSPACE_RGB, TRUE, 8, bitmap.pixelWidth,
                                             bitmap.pixelHeight, bitmap.pixelWidth * 4));
  g_bytes_unref(bytes);
  return pixbuf;
}

PixbufPtr wrapWritable(platform::Bitmap& bitmap) {
  return PixbufPtr(gdk_pixbuf_new_from_data(bitmap.rgba.data(), GDK_COLORSPACE_RGB, TRUE, 8,
                                            bitmap.pixelWidth, bitmap.pixelHeight,
                                            bitmap.pixelWidth * 4, nullptr, nullptr));
}

}  // namespace

std::optional<platform::Bitmap> PixbufImageIO::load(const std::filesystem::path& file) {
  GError* error = nullptr;
  PixbufPtr original(gdk_pixbuf_new_from_file(file.c_str(), &error));
  g_clear_error(&error);
  if (!original) return std::nullopt;

  // NSImage shows a photo the way the camera held it.
  PixbufPtr upright(gdk_pixbuf_apply_embedded_orientation(original.get()));
  if (!upright) return std::nullopt;
  PixbufPtr rgba(gdk_pixbuf_add_alpha(upright.get(), FALSE, 0, 0, 0));
  if (!rgba || gdk_pixbuf_get_bits_per_sample(rgba.get()) != 8 ||
      gdk_pixbuf_get_n_channels(rgba.get()) != 4) {
    return std::nullopt;
  }

  platform::Bitmap bitmap;
  bitmap.pixelWidth = gdk_pixbuf_get_width(rgba.get());
  bitmap.pixelHeight = gdk_pixbuf_get_height(rgba.get());
  if (!fitsPixbuf(bitmap.pixelWidth, bitmap.pixelHeight)) return std::nullopt;
  const std::size_t row = static_cast<std::size_t>(bitmap.pixelWidth) * 4;
  const std::size_t stride = static_cast<std::size_t>(gdk_pixbuf_get_rowstride(rgba.get()));
  const guint8* pixels = gdk_pixbuf_read_pixels(rgba.get());
  bitmap.rgba.resize(row * bitmap.pixelHeight);
  for (int y = 0; y < bitmap.pixelHeight; ++y) {
    std::memcpy(bitmap.rgba.data() + row * y, pixels + stride * y, row);
  }

  // 72 dpi is one pixel per point. A quarter turn swaps which resolution runs across.
  double dpiX = dotsPerInch(original.get(), "x-dpi");
  double dpiY = dotsPerInch(original.get(), "y-dpi");
  if (gdk_pixbuf_get_width(original.get()) != bitmap.pixelWidth) std::swap(dpiX, dpiY);
  bitmap.pointSize = {dpiX > 0 ? bitmap.pixelWidth * 72.0 / dpiX : bitmap.pixelWidth,
                      dpiY > 0 ? bitmap.pixelHeight * 72.0 / dpiY : bitmap.pixelHeight};
  return bitmap;
}

std::optional<platform::Bitmap> PixbufImageIO::makeCanvas(int pixelWidth, int pixelHeight) {
  if (!fitsPixbuf(pixelWidth, pixelHeight)) return std::nullopt;
  return platform::Bitmap::transparent(pixelWidth, pixelHeight);
}

void PixbufImageIO::drawImage(const platform::Bitmap& image, platform::Bitmap& canvas,
                              const platform::CanvasRect& into) {
  std::optional<platform::CanvasPixels> covered = platform::canvasPixels(canvas, into);
  if (!covered || !image.isValid() || !fitsPixbuf(image.pixelWidth, image.pixelHeight) ||
      !fitsPixbuf(canvas.pixelWidth, canvas.pixelHeight)) {
    return;
  }
  const auto [left, top, width, height, x0, y0, x1, y1] = *covered;

  PixbufPtr source = wrap(image);
  PixbufPtr target = wrapWritable(canvas);
  if (!source || !target) return;
  // gdk_pixbuf_scale replaces the pixels it renders, alpha included: a copy at full opacity.
  gdk_pixbuf_scale(source.get(), target.get(), x0, y0, x1 - x0, y1 - y0, left, top,
                   width / image.pixelWidth, height / image.pixelHeight, GDK_INTERP_HYPER);
}

std::optional<std::vector<std::uint8_t>> PixbufImageIO::encodePNG(const platform::Bitmap& bitmap) {
  if (!bitmap.isValid() || !fitsPixbuf(bitmap.pixelWidth, bitmap.pixelHeight)) {
    return std::nullopt;
  }
  PixbufPtr pixbuf = wrap(bitmap);
  if (!pixbuf) return std::nullopt;
  gchar* buffer = nullptr;
  gsize size = 0;
  GError* error = nullptr;
  gboolean saved = gdk_pixbuf_save_to_buffer(pixbuf.get(), &buffer, &size, "png", &error,
                                             static_cast<const char*>(nullptr));
  g_clear_error(&error);
  if (!saved || !buffer) {
    g_free(buffer);
    return std::nullopt;
  }
  std::vector<std::uint8_t> png(reinterpret_cast<const std::uint8_t*>(buffer),
                                reinterpret_cast<const std::uint8_t*>(buffer) + size);
  g_free(buffer);
  return png;
}

}  // namespace velmora::linuxhost
