#pragma once
// TextInputSources (Text Input Source Services): the current keyboard layout and its
// Unicode layout data.

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef struct CF_BRIDGED_TYPE(id) __TISInputSource* TISInputSourceRef;

// The property whose value is a CFData holding the layout's 'uchr' data (NULL for a layout
// without one).
extern const CFStringRef kTISPropertyUnicodeKeyLayoutData;

// The keyboard layout used for ASCII text; the caller owns it.
TISInputSourceRef _Nullable TISCopyCurrentASCIICapableKeyboardLayoutInputSource(void)
    CF_RETURNS_RETAINED;
// Borrowed: valid while the input source is.
void* _Nullable TISGetInputSourceProperty(TISInputSourceRef inputSource, CFStringRef propertyKey);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
