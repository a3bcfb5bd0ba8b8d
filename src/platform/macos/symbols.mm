#include "platform/macos/symbols.h"

#import <AppKit/AppKit.h>

#include <cmath>

#include "platform/macos/appkit_drawing.h"

namespace velmora::macos {

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
      [[NSImageSymbolConfiguration configurationWithPointSize:pointSize
                                                       weight:appKitFontWeight(weight)]
          configurationByApplyingConfiguration:[NSImageSymbolConfiguration
                                                   configurationWithPaletteColors:@[ tint ]]];
  NSImage* configured = [symbol imageWithSymbolConfiguration:configuration];
  if (!configured) return nullptr;
  // Drawn in its own colour wherever it goes, never tinted by AppKit as a template.
  [configured setTemplate:NO];
  return makeAppKitPicture((__bridge CFTypeRef)configured);
}

}  // namespace velmora::macos
