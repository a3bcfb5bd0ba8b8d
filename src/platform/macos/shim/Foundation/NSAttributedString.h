#pragma once
// NSAttributedString: text whose characters carry attributes (font, colour), bridged toll-free
// with CFAttributedString.

#include "Foundation/NSDictionary.h"
#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

@class NSString;

// The names of attributes; AppKit and other frameworks define the values.
typedef NSString* NSAttributedStringKey;

@interface NSAttributedString : NSObject <NSCopying>
// The whole string carries `attrs` (none when nil).
- (instancetype)initWithString:(NSString*)str
                    attributes:(nullable NSDictionary<NSAttributedStringKey, id>*)attrs;
@end

NS_ASSUME_NONNULL_END
