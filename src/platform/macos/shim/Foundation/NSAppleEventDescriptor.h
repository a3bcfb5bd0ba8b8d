#pragma once
// NSAppleEventDescriptor: an Apple event and its parameters.

#include <CoreServices/CoreServices.h>

#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

@class NSString;

@interface NSAppleEventDescriptor : NSObject <NSCopying>
// The parameter under that keyword (keyDirectObject for an event's direct object), or nil.
- (nullable NSAppleEventDescriptor*)paramDescriptorForKeyword:(AEKeyword)keyword;
// The descriptor's contents as text, or nil when they cannot be made text.
@property(nullable, readonly, copy) NSString* stringValue;
@end

NS_ASSUME_NONNULL_END
