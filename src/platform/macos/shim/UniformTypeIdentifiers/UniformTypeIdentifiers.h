#pragma once
// Declarations for the type-check only, written from Apple's Uniform Type Identifiers
// documentation (developer.apple.com/documentation/uniformtypeidentifiers). Objective-C only,
// as on a Mac. On a Mac the SDK's own headers are used instead.

#ifndef __OBJC__
#error "UniformTypeIdentifiers is an Objective-C framework: include it from .mm files only"
#endif

#include "UniformTypeIdentifiers/UTType.h"
