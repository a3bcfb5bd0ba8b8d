#pragma once
// NSString: text, bridged toll-free with CFString.

#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

typedef NSUInteger NSStringEncoding;
enum { NSUTF8StringEncoding = 4 };

@interface NSString : NSObject <NSCopying>
@property(readonly) NSUInteger length;
// Interior pointer, valid while the string is; NULL when the text cannot be UTF-8.
@property(nullable, readonly) const char* UTF8String;
+ (instancetype)string;
+ (nullable instancetype)stringWithUTF8String:(const char*)nullTerminatedCString;
- (nullable instancetype)initWithBytes:(const void*)bytes
                                length:(NSUInteger)len
                              encoding:(NSStringEncoding)encoding;
- (BOOL)isEqualToString:(NSString*)aString;
- (BOOL)hasPrefix:(NSString*)str;
- (NSString*)stringByAppendingString:(NSString*)aString;
@end

@interface NSMutableString : NSString
@end

@interface NSConstantString : NSString
@end

NS_ASSUME_NONNULL_END

NS_ASSUME_NONNULL_BEGIN
// Writes a formatted line to the unified log; the format takes printf's conversions and %@.
void NSLog(NSString* format, ...) __attribute__((format(__NSString__, 1, 2)));
NS_ASSUME_NONNULL_END
