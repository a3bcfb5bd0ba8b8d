#pragma once
// Turning a picture the user picked into a desktop's icon: a 256 × 256 PNG, filled and
// centred, written into the icons folder under Application Support. The desktop then keeps
// SpaceIcon::picture(fileName); old picture files are left where they are.

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/ids.h"
#include "core/result.h"
#include "platform/home.h"
#include "platform/image_io.h"

namespace velmora {

// The sentences a failed import shows the user.
inline constexpr const char* kPictureUnreadable = "That file is not a picture macOS can open.";
inline constexpr const char* kPictureUnconvertible = "The picture could not be converted.";
inline constexpr const char* kPictureUnsaved = "The picture could not be saved: ";  // + reason

// Application Support/Velmora/icons, created with the folders above it when missing. The
// path comes back even when it could not be created; writing into it then fails.
std::filesystem::path picturesFolder(const platform::HomeFolder& home);

// Makes the picture for the desktop with `managedID` and answers its file name inside
// picturesFolder. The file is named after the desktop and `wallNow` (seconds since 1970); a
// second picture within the same second gets a number after that, so no name is ever reused
// (the drawing layer caches pictures by name).
Result<std::string> importPicture(platform::ImageIO& images, const std::filesystem::path& source,
                                  ManagedID managedID, double wallNow,
                                  const platform::HomeFolder& home);

}  // namespace velmora
