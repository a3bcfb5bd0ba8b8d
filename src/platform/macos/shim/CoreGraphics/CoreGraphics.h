#pragma once
// Declarations for the type-check only, written from Apple's Core Graphics documentation
// (developer.apple.com/documentation/coregraphics): the types and functions the Mac layer
// uses. On a Mac the SDK's own headers are used instead.

#include <CoreFoundation/CoreFoundation.h>

#include "CoreGraphics/CGAffineTransform.h"
#include "CoreGraphics/CGBase.h"
#include "CoreGraphics/CGBitmapContext.h"
#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGColorSpace.h"
#include "CoreGraphics/CGContext.h"
#include "CoreGraphics/CGDataProvider.h"
#include "CoreGraphics/CGEvent.h"
#include "CoreGraphics/CGEventSource.h"
#include "CoreGraphics/CGEventTypes.h"
#include "CoreGraphics/CGGradient.h"
#include "CoreGraphics/CGImage.h"
#include "CoreGraphics/CGPath.h"
#include "CoreGraphics/CGRemoteOperation.h"
#include "CoreGraphics/CGWindow.h"
