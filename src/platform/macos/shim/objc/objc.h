#pragma once
// Declarations for the type-check only, written from Apple's Objective-C runtime
// documentation: the basic types every Objective-C file sees.

typedef signed char BOOL;
#define YES ((BOOL)1)
#define NO ((BOOL)0)
#ifndef nil
#define nil nullptr
#endif
typedef struct objc_selector* SEL;
typedef struct objc_class* Class;
