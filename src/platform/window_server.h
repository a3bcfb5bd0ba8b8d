#pragma once
// The window server seam: raw answers only, in the loosely typed shapes the SkyLight
// framework and the Quartz window list give. Parsing them is logic and lives above the
// seam (spaces/skylight). Each call maps one-to-one onto a platform function so the macOS
// implementation stays a list of direct calls.

#include <cstdint>
#include <string>

#include "core/value.h"

namespace velmora::platform {

using ConnectionID = std::int32_t;

// Quartz window-list options and keys, as the real framework spells them.
inline constexpr std::uint32_t kWindowListOptionAll = 0;
inline constexpr std::uint32_t kWindowListOptionOnScreenOnly = 1;
inline constexpr std::uint32_t kWindowListExcludeDesktopElements = 16;
inline constexpr const char* kWindowNumber = "kCGWindowNumber";
inline constexpr const char* kWindowLayer = "kCGWindowLayer";
inline constexpr const char* kWindowBounds = "kCGWindowBounds";
inline constexpr const char* kWindowOwnerPID = "kCGWindowOwnerPID";
inline constexpr const char* kWindowOwnerName = "kCGWindowOwnerName";
inline constexpr const char* kWindowIsOnscreen = "kCGWindowIsOnscreen";

class WindowServer {
 public:
  virtual ~WindowServer() = default;

  // SLSMainConnectionID.
  virtual ConnectionID mainConnectionID() = 0;
  // SLSCopyManagedDisplaySpaces: an array of display dictionaries, or null.
  virtual Value copyManagedDisplaySpaces(ConnectionID cid) = 0;
  // SLSManagedDisplaySetCurrentSpace: the platform's error code, 0 when done.
  virtual std::int32_t managedDisplaySetCurrentSpace(ConnectionID cid,
                                                     const std::string& displayUUID,
                                                     std::uint64_t spaceID) = 0;
  // SLSCopyActiveMenuBarDisplayIdentifier: a string, or null.
  virtual Value copyActiveMenuBarDisplayIdentifier(ConnectionID cid) = 0;
  // SLSSpaceCopyName: a string, or null.
  virtual Value spaceCopyName(ConnectionID cid, std::uint64_t spaceID) = 0;
  // SLSCopyWindowsWithOptionsAndTags: an array of window numbers, or null. `spaces` is an
  // array of space ids; the tags are passed by reference as on the Mac.
  virtual Value copyWindowsWithOptionsAndTags(ConnectionID cid, std::int32_t owner,
                                              const Value& spaces, std::uint32_t options,
                                              std::uint64_t& setTags, std::uint64_t& clearTags) = 0;
  // SLSMoveWindowsToManagedSpace: `windows` is an array of window numbers.
  virtual void moveWindowsToManagedSpace(ConnectionID cid, const Value& windows,
                                         std::uint64_t spaceID) = 0;
  // CGWindowListCopyWindowInfo: an array of window dictionaries, front to back, or null.
  virtual Value windowListCopyWindowInfo(std::uint32_t options, std::uint32_t relativeToWindow) = 0;
};

}  // namespace velmora::platform
