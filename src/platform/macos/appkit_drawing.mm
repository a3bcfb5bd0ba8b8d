#include "platform/macos/appkit_drawing.h"

#import <AppKit/AppKit.h>

#include "platform/macos/cg_bitmap.h"
#include "platform/symbols.h"

namespace velmora::macos {

namespace {

class AppKitPicture final : public platform::RenderedSymbol {
 public:
  explicit AppKitPicture(NSImage* image) : image_(image) {}

  Size size() const override {
    NSSize size = image_.size;
    return {size.width, size.height};
  }

 private:
  // The image over `width` × `height` pixels, through AppKit drawing into a bitmap context of
  // ours, so AppKit picks the representation for that many pixels (an icon's largest one for a
  // big row, a symbol's outlines) instead of scaling one made for another size.
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

CGFloat appKitFontWeight(platform::FontWeight weight) {
  switch (weight) {
    case platform::FontWeight::regular:
      return NSFontWeightRegular;
    case platform::FontWeight::medium:
      return NSFontWeightMedium;
    case platform::FontWeight::semibold:
      return NSFontWeightSemibold;
    case platform::FontWeight::bold:
      return NSFontWeightBold;
  }
  return NSFontWeightRegular;
}

std::shared_ptr<platform::VectorImage> makeAppKitPicture(CFTypeRef nsImage) {
  NSImage* image = (__bridge NSImage*)nsImage;
  if (!image) return nullptr;
  return std::make_shared<AppKitPicture>(image);
}

}  // namespace velmora::macos
