#include "platform/macos/symbols.h"

#import <AppKit/AppKit.h>

#include <algorithm>
#include <cmath>

#include "platform/macos/cg_bitmap.h"

namespace velmora::macos {

namespace {

NSFontWeight fontWeight(platform::SymbolWeight weight) {
  switch (weight) {
    case platform::SymbolWeight::regular:
      return NSFontWeightRegular;
    case platform::SymbolWeight::medium:
      return NSFontWeightMedium;
    case platform::SymbolWeight::semibold:
      return NSFontWeightSemibold;
    case platform::SymbolWeight::bold:
      return NSFontWeightBold;
  }
  return NSFontWeightRegular;
}

class SymbolImage final : public platform::RenderedSymbol {
 public:
  explicit SymbolImage(NSImage* image) : image_(image) {}

  Size size() const override {
    NSSize size = image_.size;
    return {size.width, size.height};
  }

 private:
  // The symbol over `width` × `height` pixels, through AppKit drawing into a bitmap context
  // of ours, so the vector outlines are rasterised at the size they are shown at.
  platform::Bitmap render(int width, int height) const override {
    CFPtr<CGContextRef> context = makeBitmapContext(width, height);
    if (!context) return {};
    [NSGraphicsContext saveGraphicsState];
    NSGraphicsContext.currentContext = [NSGraphicsContext graphicsContextWithCGContext:context.get()
                                                                               flipped:NO];
    [image_ drawInRect:NSMakeRect(0, 0, width, height)];
    [NSGraphicsContext restoreGraphicsState];
    return readPixels(context.get(), size());
  }

  NSImage* image_;
};

}  // namespace

std::shared_ptr<platform::VectorImage> MacSymbols::symbol(const std::string& name, double pointSize,
                                                          platform::SymbolWeight weight,
                                                          const platform::Color& color) {
  if (!std::isfinite(pointSize) || pointSize <= 0) return nullptr;
  NSString* symbolName = [NSString stringWithUTF8String:name.c_str()];
  if (!symbolName) return nullptr;
  NSImage* symbol = [NSImage imageWithSystemSymbolName:symbolName accessibilityDescription:nil];
  if (!symbol) return nullptr;

  NSColor* tint = [NSColor colorWithSRGBRed:color.red
                                      green:color.green
                                       blue:color.blue
                                      alpha:color.alpha];
  NSImageSymbolConfiguration* configuration =
      [[NSImageSymbolConfiguration configurationWithPointSize:pointSize weight:fontWeight(weight)]
          configurationByApplyingConfiguration:[NSImageSymbolConfiguration
                                                   configurationWithPaletteColors:@[ tint ]]];
  NSImage* configured = [symbol imageWithSymbolConfiguration:configuration];
  if (!configured) return nullptr;
  // Drawn in its own colour wherever it goes, never tinted by AppKit as a template.
  [configured setTemplate:NO];
  return std::make_shared<SymbolImage>(configured);
}

}  // namespace velmora::macos
