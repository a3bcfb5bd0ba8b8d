#pragma once
// The private SkyLight functions behind the window server seam: the only way to read and
// switch Mission Control's spaces. They are not in the SDK, so they are never linked: each is
// looked up once, at start-up, and stays null when this macOS does not have it. The types
// below are the signatures Velmora relies on.

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

#include <cstdint>

#include "platform/macos/private_symbols.h"

namespace velmora::macos {

inline constexpr const char* kSkyLightPath =
    "/System/Library/PrivateFrameworks/SkyLight.framework/SkyLight";

// SLSMainConnectionID: this process's connection to the window server.
using SLSMainConnectionIDFn = std::int32_t (*)();
// SLSCopyManagedDisplaySpaces(cid): an array of display dictionaries (their spaces, the
// current one); Copy: the caller releases it.
using SLSCopyManagedDisplaySpacesFn = CFArrayRef (*)(std::int32_t cid);
// SLSManagedDisplaySetCurrentSpace(cid, display UUID, space id): shows the space on that
// display without the slide; a CGError, 0 when done.
using SLSManagedDisplaySetCurrentSpaceFn = CGError (*)(std::int32_t cid, CFStringRef displayUUID,
                                                       std::uint64_t spaceID);
// SLSCopyActiveMenuBarDisplayIdentifier(cid): the UUID of the display with the active menu
// bar; Copy.
using SLSCopyActiveMenuBarDisplayIdentifierFn = CFStringRef (*)(std::int32_t cid);
// SLSSpaceCopyName(cid, space id): the space's name string; Copy.
using SLSSpaceCopyNameFn = CFStringRef (*)(std::int32_t cid, std::uint64_t spaceID);
// SLSCopyWindowsWithOptionsAndTags(cid, owner, space ids, options, &set tags, &clear tags):
// an array of window numbers on those spaces; Copy. The tags are read and written.
using SLSCopyWindowsWithOptionsAndTagsFn = CFArrayRef (*)(std::int32_t cid, std::uint32_t owner,
                                                          CFArrayRef spaces, std::uint32_t options,
                                                          std::uint64_t* setTags,
                                                          std::uint64_t* clearTags);
// SLSMoveWindowsToManagedSpace(cid, window numbers, space id).
using SLSMoveWindowsToManagedSpaceFn = void (*)(std::int32_t cid, CFArrayRef windows,
                                                std::uint64_t spaceID);

// Every function, null where this macOS lacks it.
struct SkyLightFunctions {
  SLSMainConnectionIDFn mainConnectionID = nullptr;
  SLSCopyManagedDisplaySpacesFn copyManagedDisplaySpaces = nullptr;
  SLSManagedDisplaySetCurrentSpaceFn managedDisplaySetCurrentSpace = nullptr;
  SLSCopyActiveMenuBarDisplayIdentifierFn copyActiveMenuBarDisplayIdentifier = nullptr;
  SLSSpaceCopyNameFn spaceCopyName = nullptr;
  SLSCopyWindowsWithOptionsAndTagsFn copyWindowsWithOptionsAndTags = nullptr;
  SLSMoveWindowsToManagedSpaceFn moveWindowsToManagedSpace = nullptr;
};

// Looks each function up in `skyLight` (opened at kSkyLightPath), which logs the missing
// ones; the addresses are valid while `skyLight` is.
SkyLightFunctions resolveSkyLight(PrivateSymbols& skyLight);

}  // namespace velmora::macos
