#pragma once
// AXValue: the structures (points, sizes, rectangles, ranges, errors) attribute values carry
// wrapped as CF objects.

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef CF_ENUM(UInt32, AXValueType) {
  kAXValueTypeCGPoint = 1,
  kAXValueTypeCGSize = 2,
  kAXValueTypeCGRect = 3,
  kAXValueTypeCFRange = 4,
  kAXValueTypeAXError = 5,
  kAXValueTypeIllegal = 0,
};

typedef const struct CF_BRIDGED_TYPE(id) __AXValue* AXValueRef;

CFTypeID AXValueGetTypeID(void);
// Wraps the structure `valuePtr` points at (a CGPoint for kAXValueTypeCGPoint, …); the caller
// owns the result.
AXValueRef _Nullable AXValueCreate(AXValueType theType, const void* valuePtr) CF_RETURNS_RETAINED;
AXValueType AXValueGetType(AXValueRef value);
// False when the value does not hold a structure of `theType`.
Boolean AXValueGetValue(AXValueRef value, AXValueType theType, void* valuePtr);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
