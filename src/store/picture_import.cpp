#include "store/picture_import.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace velmora {

namespace {

constexpr int kSide = 256;

// "space-<managed id>-<seconds>.png", or with "-2", "-3", … before ".png" when a picture of
// the same second is already in `folder`.
std::string freshFileName(const std::filesystem::path& folder, ManagedID managedID,
                          double wallNow) {
  // Whole seconds, cut toward zero; a clock that makes no sense counts as 1970.
  std::int64_t seconds = 0;
  if (std::isfinite(wallNow) && std::abs(wallNow) < 9.0e18) {
    seconds = static_cast<std::int64_t>(wallNow);
  }
  std::string stem = "space-" + to_string(managedID) + "-" + std::to_string(seconds);
  std::string name = stem + ".png";
  std::error_code ignored;
  for (int n = 2; std::filesystem::exists(folder / name, ignored); ++n) {
    name = stem + "-" + std::to_string(n) + ".png";
  }
  return name;
}

// A picture's size in points counts as at least one point each way (NaN included).
double atLeastOne(double points) {
  return points >= 1 ? points : 1;
}

// Writes the whole file or reports the system's reason; a half-written file is removed.
std::optional<std::string> writeFile(const std::filesystem::path& file,
                                     const std::vector<std::uint8_t>& bytes) {
  errno = 0;
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) return std::generic_category().message(errno ? errno : EIO);
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  int writeError = errno;
  if (std::fclose(out) != 0 && written) {
    written = false;
    writeError = errno;
  }
  if (written) return std::nullopt;
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  return std::generic_category().message(writeError ? writeError : EIO);
}

}  // namespace

std::filesystem::path picturesFolder(const platform::HomeFolder& home) {
  std::filesystem::path folder = home.applicationSupport() / "Velmora" / "icons";
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return folder;
}

Result<std::string> importPicture(platform::ImageIO& images, const std::filesystem::path& source,
                                  ManagedID managedID, double wallNow,
                                  const platform::HomeFolder& home) {
  std::optional<platform::Bitmap> image = images.load(source);
  if (!image || !image->isValid()) return Failure{kPictureUnreadable};

  std::optional<platform::Bitmap> canvas = images.makeCanvas(kSide, kSide);
  if (!canvas) return Failure{kPictureUnconvertible};

  // Fill the square and centre the picture, so the middle of a wide or tall one survives.
  const double width = atLeastOne(image->pointSize.width);
  const double height = atLeastOne(image->pointSize.height);
  const double scale = std::max(kSide / width, kSide / height);
  images.drawImage(*image, *canvas,
                   {.x = (kSide - width * scale) / 2,
                    .y = (kSide - height * scale) / 2,
                    .width = width * scale,
                    .height = height * scale});

  std::optional<std::vector<std::uint8_t>> png = images.encodePNG(*canvas);
  if (!png) return Failure{kPictureUnconvertible};

  std::filesystem::path folder = picturesFolder(home);
  std::string fileName = freshFileName(folder, managedID, wallNow);
  if (auto failure = writeFile(folder / fileName, *png)) return Failure{kPictureUnsaved + *failure};
  return fileName;
}

}  // namespace velmora
