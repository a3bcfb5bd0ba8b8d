#pragma once
// UTType: a uniform type, such as the type of the files with an extension.

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@interface UTType : NSObject <NSCopying>
// The type files with this extension (no dot) have; nil only when none can be made.
+ (nullable instancetype)typeWithFilenameExtension:(NSString*)filenameExtension;
// The type with this identifier ("public.comma-separated-values-text"); nil when unknown.
+ (nullable instancetype)typeWithIdentifier:(NSString*)identifier;
@end

NS_ASSUME_NONNULL_END
