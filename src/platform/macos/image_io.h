#pragma once
// Picture files through Image I/O, drawn and encoded through Core Graphics.

#include "platform/image_io.h"

namespace velmora::macos {

class MacImageIO final : public platform::ImageIO {
 public:
  std::optional<platform::Bitmap> load(const std::filesystem::path& file) override;
  std::optional<platform::Bitmap> makeCanvas(int pixelWidth, int pixelHeight) override;
  void drawImage(const platform::Bitmap& image, platform::Bitmap& canvas,
                 const platform::CanvasRect& into) override;
  std::optional<std::vector<std::uint8_t>> encodePNG(const platform::Bitmap& bitmap) override;
};

}  // namespace velmora::macos
