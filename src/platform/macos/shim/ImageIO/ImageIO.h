#pragma once
// Declarations for the type-check only, written from Apple's Image I/O documentation
// (developer.apple.com/documentation/imageio): reading picture files and writing PNG. On a
// Mac the SDK's own headers are used instead.

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

#include "ImageIO/CGImageDestination.h"
#include "ImageIO/CGImageProperties.h"
#include "ImageIO/CGImageSource.h"
