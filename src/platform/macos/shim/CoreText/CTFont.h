#pragma once
// CTFont: a font at a size, and its line metrics.

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

#include "CoreText/CTFontDescriptor.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef const struct CF_BRIDGED_TYPE(NSFont) __CTFont* CTFontRef;

typedef CF_ENUM(uint32_t, CTFontUIFontType) {
  // The system font for standard interface items, such as button labels and menu items.
  kCTFontUIFontSystem = 2,
};

// A size of 0.0 stands for the default size of that use (and 12 points for a named font).
CTFontRef _Nullable CTFontCreateUIFontForLanguage(
    CTFontUIFontType uiType, CGFloat size, CFStringRef _Nullable language) CF_RETURNS_RETAINED;
CTFontRef CTFontCreateWithName(CFStringRef name, CGFloat size,
                               const CGAffineTransform* _Nullable matrix) CF_RETURNS_RETAINED;
CTFontRef CTFontCreateWithFontDescriptor(CTFontDescriptorRef descriptor, CGFloat size,
                                         const CGAffineTransform* _Nullable matrix)
    CF_RETURNS_RETAINED;
CTFontDescriptorRef CTFontCopyFontDescriptor(CTFontRef font) CF_RETURNS_RETAINED;

CGFloat CTFontGetAscent(CTFontRef font);
CGFloat CTFontGetDescent(CTFontRef font);
CGFloat CTFontGetLeading(CTFontRef font);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
