#pragma once
// NSAppearance: the system look (light, dark) views and windows draw with.

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

typedef NSString* NSAppearanceName;
extern NSAppearanceName const NSAppearanceNameDarkAqua;

@interface NSAppearance : NSObject
+ (nullable NSAppearance*)appearanceNamed:(NSAppearanceName)name;
@end

@protocol NSAppearanceCustomization <NSObject>
// Nil inherits the appearance of the enclosing view, window or application.
@property(nullable, strong) NSAppearance* appearance;
@end

NS_ASSUME_NONNULL_END
