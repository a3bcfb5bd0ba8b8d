#pragma once
// AppKitDefines: the linkage of AppKit's exported constants (C symbols).

#if defined(__cplusplus)
#define APPKIT_EXTERN extern "C"
#else
#define APPKIT_EXTERN extern
#endif
