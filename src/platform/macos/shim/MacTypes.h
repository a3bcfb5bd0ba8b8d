#pragma once
// Declarations for the type-check only, written from Apple's documentation of the Carbon
// core types (MacTypes.h). On a Mac the SDK's own headers are used instead.

#include <stdint.h>

typedef unsigned char Boolean;
typedef uint8_t UInt8;
typedef int8_t SInt8;
typedef uint16_t UInt16;
typedef int16_t SInt16;
typedef uint32_t UInt32;
typedef int32_t SInt32;
typedef uint64_t UInt64;
typedef int64_t SInt64;
typedef SInt32 OSStatus;
typedef SInt16 OSErr;
typedef UInt32 FourCharCode;
typedef FourCharCode OSType;
typedef UInt32 OptionBits;
typedef unsigned long ItemCount;
typedef unsigned long ByteCount;
typedef UInt16 UniChar;
typedef unsigned long UniCharCount;
typedef float Float32;
typedef double Float64;
typedef void* Ptr;
typedef Ptr* Handle;

enum { noErr = 0 };
