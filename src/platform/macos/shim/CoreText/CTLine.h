#pragma once
// CTLine: one line of laid-out text.

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef const struct CF_BRIDGED_TYPE(id) __CTLine* CTLineRef;

typedef CF_ENUM(uint32_t, CTLineTruncationType) {
  kCTLineTruncationStart = 0,
  kCTLineTruncationEnd = 1,
  kCTLineTruncationMiddle = 2,
};

CTLineRef CTLineCreateWithAttributedString(CFAttributedStringRef attrString) CF_RETURNS_RETAINED;
// The line cut to `width` with `truncationToken` standing for what was cut; NULL when even
// the token does not fit.
CTLineRef _Nullable CTLineCreateTruncatedLine(
    CTLineRef line, double width, CTLineTruncationType truncationType,
    CTLineRef _Nullable truncationToken) CF_RETURNS_RETAINED;
// The width; the ascent, descent and leading through the pointers that are not NULL.
double CTLineGetTypographicBounds(CTLineRef line, CGFloat* _Nullable ascent,
                                  CGFloat* _Nullable descent, CGFloat* _Nullable leading);
// Borrowed: the line's CTRun objects.
CFArrayRef CTLineGetGlyphRuns(CTLineRef line);
// Draws at the context's text position, through its text matrix.
void CTLineDraw(CTLineRef line, CGContextRef context);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
