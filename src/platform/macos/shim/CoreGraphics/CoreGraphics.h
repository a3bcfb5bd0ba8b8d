#pragma once
// Declarations for the type-check only, written from Apple's Core Graphics documentation
// (developer.apple.com/documentation/coregraphics): the types and functions the Mac layer
// uses. On a Mac the SDK's own headers are used instead.

#include <CoreFoundation/CoreFoundation.h>

#include "CoreGraphics/CGBase.h"
#include "CoreGraphics/CGContext.h"
#include "CoreGraphics/CGEvent.h"
#include "CoreGraphics/CGEventSource.h"
#include "CoreGraphics/CGEventTypes.h"
#include "CoreGraphics/CGRemoteOperation.h"
#include "CoreGraphics/CGWindow.h"
