#pragma once
// Security: the static code checks of an application on disk (Code Signing Services), from
// Apple's documentation of SecStaticCode and SecRequirement.

#include <CoreFoundation/CoreFoundation.h>
#include <MacTypes.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef const struct CF_BRIDGED_TYPE(id) __SecCode* SecStaticCodeRef;
typedef struct CF_BRIDGED_TYPE(id) __SecRequirement* SecRequirementRef;

typedef CF_OPTIONS(uint32_t, SecCSFlags) {
  kSecCSDefaultFlags = 0,
};

// Codes the checks answer (Code Signing Services result codes).
enum {
  errSecCSUnsigned = -67062,
  errSecCSSignatureFailed = -67061,
  errSecCSReqFailed = -67050,
  errSecCSReqInvalid = -67052,
  errSecCSStaticCodeNotFound = -67068,
};

// A static code object for the bundle or file at `path`; the caller owns it.
OSStatus SecStaticCodeCreateWithPath(CFURLRef path, SecCSFlags flags,
                                     SecStaticCodeRef _Nullable* _Nonnull staticCode)
    CF_RETURNS_RETAINED;
// Validates the code's signature, and with a requirement, that it satisfies it.
OSStatus SecStaticCodeCheckValidity(SecStaticCodeRef staticCode, SecCSFlags flags,
                                    SecRequirementRef _Nullable requirement);
// Compiles a requirement from its text form; the caller owns it.
OSStatus SecRequirementCreateWithString(CFStringRef text, SecCSFlags flags,
                                        SecRequirementRef _Nullable* _Nonnull requirement)
    CF_RETURNS_RETAINED;

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
