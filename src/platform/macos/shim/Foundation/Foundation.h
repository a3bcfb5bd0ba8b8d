#pragma once
// Declarations for the type-check only, written from Apple's Foundation documentation
// (developer.apple.com/documentation/foundation): the classes, methods and constants the Mac
// layer uses, with their argument types and nullability. Objective-C only, as on a Mac. On a
// Mac the SDK's own headers are used instead.

#ifndef __OBJC__
#error "Foundation is an Objective-C framework: include it from .mm files only"
#endif

#include <CoreFoundation/CoreFoundation.h>

#include "Foundation/NSAppleEventDescriptor.h"
#include "Foundation/NSAppleEventManager.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSAttributedString.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSError.h"
#include "Foundation/NSFileHandle.h"
#include "Foundation/NSFileManager.h"
#include "Foundation/NSGeometry.h"
#include "Foundation/NSNotification.h"
#include "Foundation/NSObjCRuntime.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSPathUtilities.h"
#include "Foundation/NSProcessInfo.h"
#include "Foundation/NSString.h"
#include "Foundation/NSTask.h"
#include "Foundation/NSURL+ResourceValues.h"
#include "Foundation/NSURL.h"
#include "Foundation/NSURLSession.h"
#include "Foundation/NSValue.h"
