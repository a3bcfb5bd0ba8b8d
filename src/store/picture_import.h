#pragma once
// Turning a picture the user picked into a desktop's icon: a 256 × 256 PNG, filled and
// centred, written into the icons folder under Application Support. The desktop then keeps
// SpaceIcon::picture(fileName); old picture files are left where they are.

#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>

#include "platform/home.h"
#include "platform/image_io.h"

namespace velmora {

class ImportError {
 public:
  enum class Kind { Unwritable, Unreadable, Unencodable };

  // `systemError` is the system's description of why the file could not be written.
  static ImportError unwritable(std::string systemError) {
    return {Kind::Unwritable, std::move(systemError)};
  }
  static ImportError unreadable() { return {Kind::Unreadable, {}}; }
  static ImportError unencodable() { return {Kind::Unencodable, {}}; }

  Kind kind() const { return kind_; }
  const std::string& systemError() const { return systemError_; }
  // The sentence shown to the user.
  std::string message() const;

  bool operator==(const ImportError&) const = default;

 private:
  ImportError(Kind kind, std::string systemError)
      : kind_(kind), systemError_(std::move(systemError)) {}
  Kind kind_;
  std::string systemError_;
};

// The new picture's file name inside picturesFolder, or why there is none.
using PictureImport = std::variant<std::string, ImportError>;

// Application Support/Velmora/icons, created with the folders above it when missing. The
// path comes back even when it could not be created; writing into it then fails.
std::filesystem::path picturesFolder(const platform::HomeFolder& home);

// Makes the picture for the desktop with `managedID`; the file is named after the desktop
// and `wallNow` (seconds since 1970), so a later picture for the same desktop gets a new name.
PictureImport importPicture(platform::ImageIO& images, const std::filesystem::path& source,
                            std::int64_t managedID, double wallNow,
                            const platform::HomeFolder& home);

}  // namespace velmora
