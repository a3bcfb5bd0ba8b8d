#pragma once
// CGRemoteOperation: the virtual key code type keyboard events carry.

#include "CoreGraphics/CGBase.h"

// A hardware-independent virtual key code (Carbon's kVK_ values).
typedef uint16_t CGKeyCode;
