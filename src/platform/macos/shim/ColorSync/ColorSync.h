#pragma once
// Declarations for the type-check only, written from Apple's ColorSync documentation
// (developer.apple.com/documentation/colorsync): what the Mac layer uses of it. On a Mac the
// SDK's own headers are used instead.

#include <CoreFoundation/CoreFoundation.h>

#include "ColorSync/ColorSyncDevice.h"
