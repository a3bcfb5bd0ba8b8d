#pragma once
// Declarations for the type-check only, written from Apple's Carbon documentation (the Carbon
// Event Manager, Event Manager, Text Input Source Services and Unicode Utilities references):
// the hot-key service and the keyboard-layout calls the Mac layer uses, with the argument
// order, types, nullability and ownership the pages give. On a Mac the SDK's own headers are
// used instead.

#include <CoreFoundation/CoreFoundation.h>

#include "CarbonCore/MacErrors.h"
#include "CarbonCore/UnicodeUtilities.h"
#include "HIToolbox/CarbonEvents.h"
#include "HIToolbox/CarbonEventsCore.h"
#include "HIToolbox/Events.h"
#include "HIToolbox/TextInputSources.h"
