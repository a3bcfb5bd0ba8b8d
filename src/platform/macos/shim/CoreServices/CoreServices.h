#pragma once
// Declarations for the type-check only, written from Apple's Core Services documentation
// (developer.apple.com/documentation/coreservices): the Apple event codes of a link sent to the
// application, and Launch Services registration. On a Mac the SDK's own headers are used instead.

#include <CoreFoundation/CoreFoundation.h>

#include "CoreServices/AEDataModel.h"
#include "CoreServices/AERegistry.h"
#include "CoreServices/LSInfo.h"
#include "CoreServices/MacErrors.h"
