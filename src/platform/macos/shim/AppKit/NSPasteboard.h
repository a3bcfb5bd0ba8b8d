#pragma once
// NSPasteboard: the general pasteboard and plain text on it.

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

typedef NSString* NSPasteboardType;

// The plain-text type (public.utf8-plain-text).
extern NSPasteboardType const NSPasteboardTypeString;

@interface NSPasteboard : NSObject
// The pasteboard Copy and Paste use.
+ (NSPasteboard*)generalPasteboard;
// Takes ownership of the pasteboard and empties it; answers the new change count.
- (NSInteger)clearContents;
// Writes a string for the type; NO when it could not be written.
- (BOOL)setString:(NSString*)string forType:(NSPasteboardType)dataType;
// The string held for the type, or nil.
- (nullable NSString*)stringForType:(NSPasteboardType)dataType;
@end

NS_ASSUME_NONNULL_END
