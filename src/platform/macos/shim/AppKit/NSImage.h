#pragma once
// NSImage: images AppKit draws, among them the system's symbols, and their configurations.

#import <CoreGraphics/CoreGraphics.h>
#import <Foundation/Foundation.h>

#include "AppKit/NSFontDescriptor.h"

NS_ASSUME_NONNULL_BEGIN

@class NSColor;
@class NSImageSymbolConfiguration;

@interface NSImage : NSObject <NSCopying>
// A system symbol ("house.fill"); nil when the system has none of that name (macOS 11).
+ (nullable instancetype)imageWithSystemSymbolName:(NSString*)name
                          accessibilityDescription:(nullable NSString*)description;
// A copy of a symbol image with the configuration applied; nil when it cannot be applied.
- (nullable NSImage*)imageWithSymbolConfiguration:(NSImageSymbolConfiguration*)configuration;
@property NSSize size;
// The `template` property's setter (its name is a C++ keyword): a template image is only a
// mask that AppKit tints for the place it is shown in.
- (void)setTemplate:(BOOL)isTemplate;
// Draws the whole image scaled into `rect` of the current graphics context, source-over.
- (void)drawInRect:(NSRect)rect;
// An image that draws itself through the handler whenever it is drawn, at the scale of the
// moment; the handler answers whether it drew.
+ (instancetype)imageWithSize:(NSSize)size
                      flipped:(BOOL)drawingHandlerShouldBeCalledWithFlippedContext
               drawingHandler:(BOOL (^)(NSRect dstRect))drawingHandler;
@end

@interface NSImageSymbolConfiguration : NSObject <NSCopying>
+ (instancetype)configurationWithPointSize:(CGFloat)pointSize weight:(NSFontWeight)weight;
// Each layer of the symbol in the colour of its index; the last colour for layers beyond
// (macOS 12).
+ (instancetype)configurationWithPaletteColors:(NSArray<NSColor*>*)paletteColors;
// This configuration with the values `configuration` sets laid over it (macOS 12).
- (instancetype)configurationByApplyingConfiguration:(NSImageSymbolConfiguration*)configuration;
@end

NS_ASSUME_NONNULL_END
