#pragma once
// CGContext: the drawing destination's transforms.

#include "CoreGraphics/CGBase.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

// A size in the context's user space as it lands in device space (pixels for a bitmap or a
// window's backing store).
CGSize CGContextConvertSizeToDeviceSpace(CGContextRef _Nullable c, CGSize size);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
