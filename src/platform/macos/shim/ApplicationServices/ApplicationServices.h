#pragma once
// Declarations for the type-check only, written from Apple's ApplicationServices documentation
// (developer.apple.com/documentation/applicationservices): the accessibility API of its
// HIServices part that the Mac layer uses, with the argument order, types, nullability and
// ownership the pages give. On a Mac the SDK's own headers are used instead.

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

#include "HIServices/AXError.h"
#include "HIServices/AXUIElement.h"
#include "HIServices/AXValue.h"
