#pragma once
// CFString: text in and out as UTF-8.

#include "CoreFoundation/CFBase.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef UInt32 CFStringEncoding;
enum { kCFStringEncodingUTF8 = 0x08000100 };

CFTypeID CFStringGetTypeID(void);
CFStringRef _Nullable CFStringCreateWithBytes(CFAllocatorRef _Nullable alloc, const UInt8* bytes,
                                              CFIndex numBytes, CFStringEncoding encoding,
                                              Boolean isExternalRepresentation) CF_RETURNS_RETAINED;
CFStringRef _Nullable CFStringCreateWithCString(CFAllocatorRef _Nullable alloc, const char* cStr,
                                                CFStringEncoding encoding) CF_RETURNS_RETAINED;
CFIndex CFStringGetLength(CFStringRef theString);
CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding);
Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize,
                           CFStringEncoding encoding);
const char* _Nullable CFStringGetCStringPtr(CFStringRef theString, CFStringEncoding encoding);
CFIndex CFStringGetBytes(CFStringRef theString, CFRange range, CFStringEncoding encoding,
                         UInt8 lossByte, Boolean isExternalRepresentation, UInt8* _Nullable buffer,
                         CFIndex maxBufLen, CFIndex* _Nullable usedBufLen);
CFStringRef CFStringCreateWithCharacters(CFAllocatorRef _Nullable alloc, const UniChar* chars,
                                         CFIndex numChars) CF_RETURNS_RETAINED;

// A compile-time constant string, as CFSTR("…") makes one.
#define CFSTR(cStr) ((CFStringRef)__builtin___CFStringMakeConstantString("" cStr ""))

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
