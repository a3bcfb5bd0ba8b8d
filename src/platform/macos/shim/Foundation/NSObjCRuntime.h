#pragma once
// NSObjCRuntime: integer types, enum macros, nullability regions.

#include <objc/objc.h>
#include <stddef.h>
#include <stdint.h>

typedef long NSInteger;
typedef unsigned long NSUInteger;
typedef double NSTimeInterval;
#define NSNotFound ((NSInteger)0x7fffffffffffffffL)

#define NS_ENUM(type, name) \
  type name;                \
  enum : type
#define NS_OPTIONS(type, name) NS_ENUM(type, name)
#define NS_ASSUME_NONNULL_BEGIN _Pragma("clang assume_nonnull begin")
#define NS_ASSUME_NONNULL_END _Pragma("clang assume_nonnull end")
#define NS_SWIFT_NAME(name)
#define NS_REFINED_FOR_SWIFT
#define NS_DESIGNATED_INITIALIZER __attribute__((objc_designated_initializer))

typedef NS_ENUM(NSInteger, NSComparisonResult) {
  NSOrderedAscending = -1,
  NSOrderedSame = 0,
  NSOrderedDescending = 1,
};

// The selector with this name ("undo:"), registered with the runtime if it is new.
@class NSString;
#if defined(__cplusplus)
extern "C" SEL NSSelectorFromString(NSString* _Nonnull aSelectorName);
#else
extern SEL NSSelectorFromString(NSString* _Nonnull aSelectorName);
#endif
