#pragma once
// NSFont: the system interface font at a size and weight.

#import <Foundation/Foundation.h>

#include "AppKit/AppKitDefines.h"
#include "CoreGraphics/CGBase.h"

NS_ASSUME_NONNULL_BEGIN

typedef CGFloat NSFontWeight;
APPKIT_EXTERN const NSFontWeight NSFontWeightRegular;
APPKIT_EXTERN const NSFontWeight NSFontWeightMedium;
APPKIT_EXTERN const NSFontWeight NSFontWeightSemibold;
APPKIT_EXTERN const NSFontWeight NSFontWeightBold;

@interface NSFont : NSObject <NSCopying>
+ (NSFont*)systemFontOfSize:(CGFloat)fontSize weight:(NSFontWeight)weight;
@end

NS_ASSUME_NONNULL_END
