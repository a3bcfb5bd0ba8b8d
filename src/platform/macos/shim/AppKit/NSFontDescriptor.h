#pragma once
// NSFontDescriptor: font weights (the scale Core Text's kCTFontWeightTrait uses too).

#import <CoreGraphics/CoreGraphics.h>
#import <Foundation/Foundation.h>

typedef CGFloat NSFontWeight;
extern const NSFontWeight NSFontWeightRegular;
extern const NSFontWeight NSFontWeightMedium;
extern const NSFontWeight NSFontWeightSemibold;
extern const NSFontWeight NSFontWeightBold;
