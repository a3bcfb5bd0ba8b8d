#pragma once
// Pictures on Linux through gdk-pixbuf: its loaders read the files (PNG, JPEG, TIFF, GIF,
// BMP, WebP where a loader is installed), its scaler draws and its PNG saver encodes.

#include "platform/image_io.h"

namespace velmora::linuxhost {

class PixbufImageIO final : public platform::ImageIO {
 public:
  std::optional<platform::Bitmap> load(const std::filesystem::path& file) override;
  std::optional<platform::Bitmap> makeCanvas(int pixelWidth, int pixelHeight) override;
  void drawImage(const platform::Bitmap& image, platform::Bitmap& canvas,
                 const platform::CanvasRect& into) override;
  std::optional<std::vector<std::uint8_t>> encodePNG(const platform::Bitmap& bitmap) override;
};

}  // namespace velmora::linuxhost
