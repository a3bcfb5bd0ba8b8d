#pragma once
// Declarations for the type-check only, written from Apple's Service Management documentation
// (developer.apple.com/documentation/servicemanagement): the application as its own login item.
// On a Mac the SDK's own headers are used instead.

#ifndef __OBJC__
#error "SMAppService is an Objective-C class: include ServiceManagement from .mm files only"
#endif

#include <Foundation/Foundation.h>

#include "ServiceManagement/SMAppService.h"
