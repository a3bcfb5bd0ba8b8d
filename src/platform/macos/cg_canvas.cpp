#include "platform/macos/cg_canvas.h"

#include <CoreText/CoreText.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/macos/cf_value.h"
#include "platform/macos/cg_bitmap.h"

namespace velmora::macos {

using platform::Bitmap;
using platform::CanvasPoint;
using platform::CanvasRect;
using platform::Color;
using platform::Font;
using platform::FontFamily;
using platform::FontWeight;
using platform::GradientStop;
using platform::ImageScaling;
using platform::LinearGradient;
using platform::Path;
using platform::Shadow;

namespace {

// The same bound as the Linux canvases, so painters get the same answer on both.
constexpr int kMaxPixels = 32767;

// Marks the runs of a truncated line that are the "…" and not the original text.
const CFStringRef kTruncationMark = CFSTR("VelmoraTruncationToken");

int pixelsFor(double points, double scale) {
  // A hair of tolerance so that 17 points at scale 3 is 51 pixels, not 52.
  return static_cast<int>(std::ceil(points * scale - 1e-9));
}

bool validSize(Size points, double scale) {
  return scale > 0 && std::isfinite(scale) && points.width > 0 && points.height > 0 &&
         std::isfinite(points.width) && std::isfinite(points.height) &&
         points.width * scale <= kMaxPixels && points.height * scale <= kMaxPixels;
}

CFPtr<CGColorRef> cgColor(const Color& c) {
  return CFPtr<CGColorRef>::adopt(CGColorCreateSRGB(c.red, c.green, c.blue, c.alpha));
}

CFPtr<CGMutablePathRef> cgPath(const Path& path) {
  CFPtr<CGMutablePathRef> out = CFPtr<CGMutablePathRef>::adopt(CGPathCreateMutable());
  for (const Path::Element& e : path.elements()) {
    const CanvasPoint* p = e.points;
    switch (e.op) {
      case Path::Op::moveTo:
        CGPathMoveToPoint(out.get(), nullptr, p[0].x, p[0].y);
        break;
      case Path::Op::lineTo:
        CGPathAddLineToPoint(out.get(), nullptr, p[0].x, p[0].y);
        break;
      case Path::Op::curveTo:
        CGPathAddCurveToPoint(out.get(), nullptr, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
        break;
      case Path::Op::close:
        CGPathCloseSubpath(out.get());
        break;
    }
  }
  return out;
}

// NSFontWeight's values, which kCTFontWeightTrait shares.
double weightTrait(FontWeight weight) {
  switch (weight) {
    case FontWeight::regular:
      return 0;
    case FontWeight::medium:
      return 0.23;
    case FontWeight::semibold:
      return 0.3;
    case FontWeight::bold:
      return 0.4;
  }
  return 0;
}

CFPtr<CFDictionaryRef> dictionary(const void* const* keys, const void* const* values,
                                  CFIndex count) {
  return CFPtr<CFDictionaryRef>::adopt(CFDictionaryCreate(
      kCFAllocatorDefault, const_cast<const void**>(keys), const_cast<const void**>(values), count,
      &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
}

// The interface font at the weight asked for, or the colour emoji font. Null for a size
// that is not positive (Core Text would take 0 for "the default size").
CFPtr<CTFontRef> ctFont(const Font& font) {
  if (!(font.pointSize > 0) || !std::isfinite(font.pointSize)) return nullptr;
  if (font.family == FontFamily::emoji) {
    return CFPtr<CTFontRef>::adopt(
        CTFontCreateWithName(CFSTR("Apple Color Emoji"), font.pointSize, nullptr));
  }
  CFPtr<CTFontRef> system = CFPtr<CTFontRef>::adopt(
      CTFontCreateUIFontForLanguage(kCTFontUIFontSystem, font.pointSize, nullptr));
  if (!system || font.weight == FontWeight::regular) return system;

  const double weight = weightTrait(font.weight);
  CFPtr<CFNumberRef> number =
      CFPtr<CFNumberRef>::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &weight));
  if (!number) return system;
  const void* traitKeys[] = {kCTFontWeightTrait};
  const void* traitValues[] = {number.get()};
  CFPtr<CFDictionaryRef> traits = dictionary(traitKeys, traitValues, 1);
  if (!traits) return system;
  const void* keys[] = {kCTFontTraitsAttribute};
  const void* values[] = {traits.get()};
  CFPtr<CFDictionaryRef> attributes = dictionary(keys, values, 1);
  if (!attributes) return system;
  CFPtr<CTFontDescriptorRef> base =
      CFPtr<CTFontDescriptorRef>::adopt(CTFontCopyFontDescriptor(system.get()));
  CFPtr<CTFontDescriptorRef> weighted = CFPtr<CTFontDescriptorRef>::adopt(
      CTFontDescriptorCreateCopyWithAttributes(base.get(), attributes.get()));
  return CFPtr<CTFontRef>::adopt(
      CTFontCreateWithFontDescriptor(weighted.get(), font.pointSize, nullptr));
}

// One line of text laid out in a font (and colour, for drawing).
struct TextLine {
  CFPtr<CTLineRef> line;
  double width = 0;
  CGFloat ascent = 0;
  CGFloat descent = 0;
  CGFloat leading = 0;
};

std::optional<TextLine> layOut(std::string_view utf8, CTFontRef font, CGColorRef color,
                               bool truncationToken = false) {
  CFPtr<CFStringRef> text = cfString(utf8);
  if (!text) return std::nullopt;
  std::vector<const void*> keys = {kCTFontAttributeName};
  std::vector<const void*> values = {font};
  if (color) {
    keys.push_back(kCTForegroundColorAttributeName);
    values.push_back(color);
  }
  if (truncationToken) {
    keys.push_back(kTruncationMark);
    values.push_back(kCFBooleanTrue);
  }
  CFPtr<CFDictionaryRef> attributes =
      dictionary(keys.data(), values.data(), static_cast<CFIndex>(keys.size()));
  if (!attributes) return std::nullopt;
  CFPtr<CFAttributedStringRef> string = CFPtr<CFAttributedStringRef>::adopt(
      CFAttributedStringCreate(kCFAllocatorDefault, text.get(), attributes.get()));
  if (!string) return std::nullopt;
  TextLine out;
  out.line = CFPtr<CTLineRef>::adopt(CTLineCreateWithAttributedString(string.get()));
  out.width = CTLineGetTypographicBounds(out.line.get(), &out.ascent, &out.descent, &out.leading);
  return out;
}

// The line cut at the tail to `maxWidth` with "…" standing for the rest; the token alone
// when not even a character fits beside it.
CFPtr<CTLineRef> truncated(const TextLine& line, CTFontRef font, CGColorRef color,
                           double maxWidth) {
  std::optional<TextLine> token = layOut("…", font, color, true);
  if (!token) return line.line;
  CFPtr<CTLineRef> cut = CFPtr<CTLineRef>::adopt(CTLineCreateTruncatedLine(
      line.line.get(), std::max(0.0, maxWidth), kCTLineTruncationEnd, token->line.get()));
  return cut ? cut : token->line;
}

// The first `units` UTF-16 code units of the text, as UTF-8 (Core Text counts in UTF-16).
std::string_view utf16Prefix(std::string_view utf8, CFIndex units) {
  std::size_t i = 0;
  while (i < utf8.size() && units > 0) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    units -= length == 4 ? 2 : 1;  // beyond the basic plane: a surrogate pair
    i = std::min(utf8.size(), i + length);
  }
  return utf8.substr(0, i);
}

// A canvas over a Core Graphics context whose CTM is set up so that user space is the
// canvas's points with y down.
class CGCanvas final : public platform::Canvas {
 public:
  // `shadowScale` turns shadow points into the context's base space units: pixels in an
  // offscreen bitmap, points in the contexts AppKit makes for views and images (which
  // carry the backing scale in their base space).
  CGCanvas(CFPtr<CGContextRef> context, Size points, double scale, bool offscreen,
           double shadowScale)
      : context_(std::move(context)),
        points_(points),
        scale_(scale),
        pixelWidth_(pixelsFor(points.width, scale)),
        pixelHeight_(pixelsFor(points.height, scale)),
        offscreen_(offscreen),
        shadowScale_(shadowScale) {
    CGContextRef c = context_.get();
    textMatrix_ = CGContextGetTextMatrix(c);
    // The caller's state comes back when the canvas goes.
    CGContextSaveGState(c);
    if (offscreen_) {
      CGContextTranslateCTM(c, 0, pixelHeight_);
      CGContextScaleCTM(c, scale, -scale);
    } else {
      CGContextTranslateCTM(c, 0, points.height);
      CGContextScaleCTM(c, 1, -1);
    }
    states_.push_back({});
  }

  ~CGCanvas() override {
    CGContextRef c = context_.get();
    for (std::size_t i = 0; i < states_.size(); ++i) CGContextRestoreGState(c);
    CGContextSetTextMatrix(c, textMatrix_);
  }

  CGCanvas(const CGCanvas&) = delete;
  CGCanvas& operator=(const CGCanvas&) = delete;

  using Canvas::drawImage;  // the vector-image overload stays visible

  Size size() const override { return points_; }
  double scale() const override { return scale_; }
  int pixelWidth() const override { return pixelWidth_; }
  int pixelHeight() const override { return pixelHeight_; }

  void save() override {
    CGContextSaveGState(context_.get());
    states_.push_back(states_.back());
  }
  void restore() override {
    if (states_.size() < 2) return;  // an unbalanced restore leaves the base state alone
    CGContextRestoreGState(context_.get());
    states_.pop_back();
  }
  void clip(const Path& path) override {
    CGContextRef c = context_.get();
    if (path.isEmpty()) {
      // The inside of no outline is nothing.
      CGContextClipToRect(c, CGRectMake(0, 0, 0, 0));
      return;
    }
    CFPtr<CGMutablePathRef> outline = cgPath(path);
    CGContextBeginPath(c);
    CGContextAddPath(c, outline.get());
    CGContextClip(c);
  }
  void translate(double dx, double dy) override { CGContextTranslateCTM(context_.get(), dx, dy); }
  void scaleBy(double sx, double sy) override {
    if (sx == 0 || sy == 0) {
      // Nothing drawn at zero size shows; a singular CTM would only make Core Graphics
      // complain.
      CGContextClipToRect(context_.get(), CGRectMake(0, 0, 0, 0));
      return;
    }
    CGContextScaleCTM(context_.get(), sx, sy);
  }
  void setAlpha(double alpha) override {
    CGContextSetAlpha(context_.get(), std::clamp(alpha, 0.0, 1.0));
  }
  void setShadow(std::optional<Shadow> shadow) override {
    CGContextRef c = context_.get();
    states_.back().shadowed = shadow && shadow->color.alpha > 0;
    if (!shadow) {
      CGContextSetShadowWithColor(c, CGSizeMake(0, 0), 0, nullptr);
      return;
    }
    // Shadows ignore the CTM: offset and blur go to base space by hand, where y is up.
    CFPtr<CGColorRef> color = cgColor(shadow->color);
    CGContextSetShadowWithColor(
        c, CGSizeMake(shadow->offset.x * shadowScale_, -shadow->offset.y * shadowScale_),
        std::max(0.0, shadow->blurRadius) * shadowScale_, color.get());
  }

  void fill(const Path& path, const Color& color) override {
    if (path.isEmpty()) return;
    CGContextRef c = context_.get();
    CFPtr<CGColorRef> fillColor = cgColor(color);
    CFPtr<CGMutablePathRef> outline = cgPath(path);
    CGContextSetFillColorWithColor(c, fillColor.get());
    CGContextBeginPath(c);
    CGContextAddPath(c, outline.get());
    CGContextFillPath(c);
  }

  void fill(const Path& path, const LinearGradient& gradient) override {
    if (path.isEmpty() || gradient.stops.empty()) return;
    if (gradient.stops.size() == 1) {
      fill(path, gradient.stops.front().color);
      return;
    }
    std::vector<CGFloat> components, locations;
    for (const GradientStop& stop : gradient.stops) {
      components.insert(components.end(),
                        {stop.color.red, stop.color.green, stop.color.blue, stop.color.alpha});
      locations.push_back(std::clamp(stop.location, 0.0, 1.0));
    }
    CFPtr<CGGradientRef> shading = CFPtr<CGGradientRef>::adopt(CGGradientCreateWithColorComponents(
        sRGBColorSpace(), components.data(), locations.data(), locations.size()));
    if (!shading) return;
    CFPtr<CGMutablePathRef> outline = cgPath(path);
    clipped([&](CGContextRef c) {
      CGContextBeginPath(c);
      CGContextAddPath(c, outline.get());
      CGContextClip(c);
      CGContextDrawLinearGradient(
          c, shading.get(), CGPointMake(gradient.start.x, gradient.start.y),
          CGPointMake(gradient.end.x, gradient.end.y),
          kCGGradientDrawsBeforeStartLocation | kCGGradientDrawsAfterEndLocation);
    });
  }

  void stroke(const Path& path, const Color& color, double lineWidth) override {
    if (path.isEmpty() || !(lineWidth > 0)) return;
    CGContextRef c = context_.get();
    CFPtr<CGColorRef> strokeColor = cgColor(color);
    CFPtr<CGMutablePathRef> outline = cgPath(path);
    CGContextSetStrokeColorWithColor(c, strokeColor.get());
    CGContextSetLineWidth(c, lineWidth);
    CGContextBeginPath(c);
    CGContextAddPath(c, outline.get());
    CGContextStrokePath(c);
  }

  void drawImage(const Bitmap& image, const CanvasRect& into, ImageScaling scaling) override {
    if (!image.isValid() || !(into.width > 0) || !(into.height > 0)) return;
    CFPtr<CGImageRef> picture = imageFromBitmap(image);
    if (!picture) return;
    const double w = image.pixelWidth, h = image.pixelHeight;
    CanvasRect target = into;
    if (scaling != ImageScaling::stretch) {
      const double sx = into.width / w, sy = into.height / h;
      const double k = scaling == ImageScaling::aspectFit ? std::min(sx, sy) : std::max(sx, sy);
      target = {into.x + (into.width - w * k) / 2, into.y + (into.height - h * k) / 2, w * k,
                h * k};
    }
    auto draw = [&](CGContextRef c) {
      if (scaling == ImageScaling::aspectFill) {
        CGContextClipToRect(c, CGRectMake(into.x, into.y, into.width, into.height));
      }
      CGContextSetInterpolationQuality(c, kCGInterpolationHigh);
      // Core Graphics puts an image's first row at the top of a y-up rectangle: flip the
      // rectangle back so the picture stands upright on the y-down canvas.
      CGContextTranslateCTM(c, target.x, target.y + target.height);
      CGContextScaleCTM(c, 1, -1);
      CGContextDrawImage(c, CGRectMake(0, 0, target.width, target.height), picture.get());
    };
    if (scaling == ImageScaling::aspectFill) {
      clipped(draw);
    } else {
      CGContextSaveGState(context_.get());
      draw(context_.get());
      CGContextRestoreGState(context_.get());
    }
  }

  Size measureText(std::string_view utf8, const Font& font) override {
    CFPtr<CTFontRef> face = ctFont(font);
    if (!face) return {};
    if (utf8.empty()) {
      return {0, CTFontGetAscent(face.get()) + CTFontGetDescent(face.get()) +
                     CTFontGetLeading(face.get())};
    }
    std::optional<TextLine> line = layOut(utf8, face.get(), nullptr);
    if (!line) return {};
    return {line->width, line->ascent + line->descent + line->leading};
  }

  void drawText(std::string_view utf8, const Font& font, const Color& color, CanvasPoint origin,
                std::optional<double> maxWidth) override {
    if (utf8.empty()) return;
    CFPtr<CTFontRef> face = ctFont(font);
    if (!face) return;
    CFPtr<CGColorRef> textColor = cgColor(color);
    std::optional<TextLine> line = layOut(utf8, face.get(), textColor.get());
    if (!line) return;
    CFPtr<CTLineRef> shown = line->line;
    if (maxWidth && line->width > *maxWidth) {
      shown = truncated(*line, face.get(), textColor.get(), *maxWidth);
    }
    CGContextRef c = context_.get();
    // Glyphs are drawn y-up in text space: the flipped text matrix sets them upright on the
    // y-down canvas, with the baseline one ascent below the top of the measured box.
    CGContextSetTextMatrix(c, CGAffineTransformMakeScale(1, -1));
    CGContextSetTextPosition(c, origin.x, origin.y + line->ascent);
    CTLineDraw(shown.get(), c);
  }

  std::string truncateTail(std::string_view utf8, const Font& font, double maxWidth) override {
    CFPtr<CTFontRef> face = ctFont(font);
    if (!face || utf8.empty()) return std::string(utf8);
    std::optional<TextLine> line = layOut(utf8, face.get(), nullptr);
    if (!line || line->width <= maxWidth) return std::string(utf8);
    CFPtr<CTLineRef> cut = truncated(*line, face.get(), nullptr, maxWidth);
    // What stays of the text is what the runs that are not the token were made from.
    CFIndex kept = 0;
    CFArrayRef runs = CTLineGetGlyphRuns(cut.get());
    for (CFIndex i = 0, n = CFArrayGetCount(runs); i < n; ++i) {
      CTRunRef run = cfCast<CTRunRef>(CFArrayGetValueAtIndex(runs, i), CTRunGetTypeID());
      if (!run || CFDictionaryGetValue(CTRunGetAttributes(run), kTruncationMark)) continue;
      CFRange range = CTRunGetStringRange(run);
      kept = std::max(kept, range.location + range.length);
    }
    return std::string(utf16Prefix(utf8, kept)) + "…";
  }

  Bitmap bitmap() const override {
    if (offscreen_) return readPixels(context_.get(), points_);
    // A context AppKit made has a pixel format of its own: draw a copy into ours to read it.
    CFPtr<CGImageRef> copy = snapshot();
    CFPtr<CGContextRef> pixels = makeBitmapContext(pixelWidth_, pixelHeight_);
    if (!copy || !pixels) return Bitmap{0, 0, points_, {}};
    CGContextSetBlendMode(pixels.get(), kCGBlendModeCopy);
    CGContextDrawImage(pixels.get(), CGRectMake(0, 0, pixelWidth_, pixelHeight_), copy.get());
    return readPixels(pixels.get(), points_);
  }

  std::optional<std::vector<std::uint8_t>> encodePNG() const override {
    CFPtr<CGImageRef> image = snapshot();
    return macos::encodePNG(image.get());
  }

 private:
  struct State {
    bool shadowed = false;
  };

  // A copy of the pixels; null when the context is not a bitmap context of exactly the
  // canvas's pixels (a window's, say), whose pixels are not the canvas's alone.
  CFPtr<CGImageRef> snapshot() const {
    CFPtr<CGImageRef> copy = CFPtr<CGImageRef>::adopt(CGBitmapContextCreateImage(context_.get()));
    if (!copy || CGImageGetWidth(copy.get()) != static_cast<std::size_t>(pixelWidth_) ||
        CGImageGetHeight(copy.get()) != static_cast<std::size_t>(pixelHeight_)) {
      return nullptr;
    }
    return copy;
  }

  // Runs a drawing that clips to its own outline. With a shadow set, the drawing goes
  // through a transparency layer so the clip cuts the drawing and not the shadow it casts.
  template <class Drawing>
  void clipped(const Drawing& draw) {
    CGContextRef c = context_.get();
    const bool layered = states_.back().shadowed;
    if (layered) CGContextBeginTransparencyLayer(c, nullptr);
    CGContextSaveGState(c);
    draw(c);
    CGContextRestoreGState(c);
    if (layered) CGContextEndTransparencyLayer(c);
  }

  CFPtr<CGContextRef> context_;
  Size points_;
  double scale_;
  int pixelWidth_;
  int pixelHeight_;
  bool offscreen_;
  double shadowScale_;
  CGAffineTransform textMatrix_;
  std::vector<State> states_;
};

}  // namespace

std::unique_ptr<platform::Canvas> makeContextCanvas(CGContextRef context, Size points,
                                                    double scale) {
  if (!context || !validSize(points, scale)) return nullptr;
  return std::make_unique<CGCanvas>(CFPtr<CGContextRef>::retain(context), points, scale, false,
                                    1.0);
}

std::unique_ptr<platform::Canvas> CGCanvasFactory::makeCanvas(Size points, double scale) {
  if (!validSize(points, scale)) return nullptr;
  CFPtr<CGContextRef> context =
      makeBitmapContext(pixelsFor(points.width, scale), pixelsFor(points.height, scale));
  if (!context) return nullptr;
  return std::make_unique<CGCanvas>(std::move(context), points, scale, true, scale);
}

}  // namespace velmora::macos
