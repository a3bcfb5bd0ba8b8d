#pragma once
// Declarations for the type-check only, written from Apple's CoreFoundation documentation
// (developer.apple.com/documentation/corefoundation): every type, function and constant the
// Mac layer uses, with the argument order, types, nullability and ownership the pages give.
// Functions named Create or Copy return an object the caller owns (CF_RETURNS_RETAINED);
// Get functions return a borrowed one. On a Mac the SDK's own headers are used instead.

#include "CoreFoundation/CFArray.h"
#include "CoreFoundation/CFAttributedString.h"
#include "CoreFoundation/CFBase.h"
#include "CoreFoundation/CFData.h"
#include "CoreFoundation/CFDate.h"
#include "CoreFoundation/CFDictionary.h"
#include "CoreFoundation/CFMachPort.h"
#include "CoreFoundation/CFNumber.h"
#include "CoreFoundation/CFPreferences.h"
#include "CoreFoundation/CFPropertyList.h"
#include "CoreFoundation/CFRunLoop.h"
#include "CoreFoundation/CFString.h"
#include "CoreFoundation/CFURL.h"
#include "CoreFoundation/CFUUID.h"
