#pragma once
// CFURL: file paths and links.

#include "CoreFoundation/CFBase.h"
#include "CoreFoundation/CFString.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef const struct CF_BRIDGED_TYPE(NSURL) __CFURL* CFURLRef;

typedef CF_ENUM(CFIndex, CFURLPathStyle) {
  kCFURLPOSIXPathStyle = 0,
  kCFURLWindowsPathStyle = 2,
};

CFTypeID CFURLGetTypeID(void);
CFURLRef _Nullable CFURLCreateWithFileSystemPath(CFAllocatorRef _Nullable allocator,
                                                 CFStringRef filePath, CFURLPathStyle pathStyle,
                                                 Boolean isDirectory) CF_RETURNS_RETAINED;
CFURLRef _Nullable CFURLCreateWithString(CFAllocatorRef _Nullable allocator, CFStringRef URLString,
                                         CFURLRef _Nullable baseURL) CF_RETURNS_RETAINED;
CFURLRef _Nullable CFURLCopyAbsoluteURL(CFURLRef relativeURL) CF_RETURNS_RETAINED;
// Borrowed: valid while the URL is.
CFStringRef CFURLGetString(CFURLRef anURL);
Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8* buffer,
                                         CFIndex maxBufLen);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
