#pragma once
// CGDataProvider: where an image's bytes come from.

#include "CoreGraphics/CGBase.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef struct CF_BRIDGED_TYPE(id) CGDataProvider* CGDataProviderRef;

// Retains the data; reads it directly.
CGDataProviderRef _Nullable CGDataProviderCreateWithCFData(CFDataRef _Nullable data)
    CF_RETURNS_RETAINED;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
