#pragma once
// CGWindow: the window list of the current user session.

#include "CoreFoundation/CFArray.h"
#include "CoreGraphics/CGBase.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef uint32_t CGWindowID;

typedef CF_OPTIONS(uint32_t, CGWindowListOption) {
  kCGWindowListOptionAll = 0,
  kCGWindowListOptionOnScreenOnly = (1 << 0),
  kCGWindowListExcludeDesktopElements = (1 << 4),
};

// An array of window dictionaries, front to back, or NULL; the caller releases it.
CFArrayRef _Nullable CGWindowListCopyWindowInfo(CGWindowListOption option,
                                                CGWindowID relativeToWindow) CF_RETURNS_RETAINED;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
