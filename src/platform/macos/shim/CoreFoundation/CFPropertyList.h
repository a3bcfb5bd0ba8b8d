#pragma once
// CFPropertyList: serialised property lists.

#include "CoreFoundation/CFArray.h"
#include "CoreFoundation/CFBase.h"
#include "CoreFoundation/CFData.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef CF_ENUM(CFIndex, CFPropertyListFormat) {
  kCFPropertyListOpenStepFormat = 1,
  kCFPropertyListXMLFormat_v1_0 = 100,
  kCFPropertyListBinaryFormat_v1_0 = 200,
};
typedef CF_OPTIONS(CFOptionFlags, CFPropertyListMutabilityOptions) {
  kCFPropertyListImmutable = 0,
  kCFPropertyListMutableContainers = 1,
  kCFPropertyListMutableContainersAndLeaves = 2,
};

CFPropertyListRef _Nullable CFPropertyListCreateWithData(
    CFAllocatorRef _Nullable allocator, CFDataRef data, CFOptionFlags options,
    CFPropertyListFormat* _Nullable format,
    CFErrorRef _Nullable* _Nullable error) CF_RETURNS_RETAINED;
CFDataRef _Nullable CFPropertyListCreateData(
    CFAllocatorRef _Nullable allocator, CFPropertyListRef propertyList, CFPropertyListFormat format,
    CFOptionFlags options, CFErrorRef _Nullable* _Nullable error) CF_RETURNS_RETAINED;
Boolean CFPropertyListIsValid(CFPropertyListRef plist, CFPropertyListFormat format);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
