#pragma once
// Declarations for the type-check only, written from Apple's Core Animation documentation
// (developer.apple.com/documentation/quartzcore): the timing functions AppKit's animations
// take. On a Mac the SDK's own headers are used instead.

#ifndef __OBJC__
#error "QuartzCore's classes are Objective-C: include it from .mm files only"
#endif

#import <Foundation/Foundation.h>

#include "QuartzCore/CAMediaTimingFunction.h"
