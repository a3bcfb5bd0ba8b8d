#pragma once
// Drawing: the small set of operations the tiles, the switch tag, menus, pills and
// screenshots are painted with. Core Graphics / Core Text implement it on a Mac, Cairo and
// Pango on Linux, so the same painter code draws on both.
//
// Coordinates are in points, origin at the top-left corner of the canvas, y growing DOWN
// (like a flipped AppKit view). A canvas of W × H points at backing scale s has
// ceil(W·s) × ceil(H·s) pixels; painters never see pixels, only points.
//
// The graphics state (clip, transform, shadow, alpha) is a stack: save() pushes a copy,
// restore() pops it. Every drawing call uses the state in force when it is made.
//
// Pixels leave a canvas as a `Bitmap` (straight, not premultiplied, 8-bit RGBA, rows top to
// bottom) or as PNG bytes. A canvas belongs to the thread that made it.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/geometry.h"
#include "platform/image_io.h"  // Bitmap, CanvasRect

namespace velmora::platform {

// sRGB components and alpha, each 0…1, not premultiplied.
struct Color {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;

  static Color white(double alpha = 1) { return {1, 1, 1, alpha}; }
  static Color black(double alpha = 1) { return {0, 0, 0, alpha}; }
  static Color gray(double white, double alpha = 1) { return {white, white, white, alpha}; }
  static Color clear() { return {0, 0, 0, 0}; }
  Color withAlpha(double a) const { return {red, green, blue, a}; }
  bool operator==(const Color&) const = default;
};

struct CanvasPoint {
  double x = 0;
  double y = 0;
  bool operator==(const CanvasPoint&) const = default;
};

// An outline made of straight and cubic Bézier segments. Rectangles, rounded rectangles and
// ellipses are added as closed subpaths of those segments, so a backend only has to know
// the four elementary operations. Filled with the non-zero winding rule.
class Path {
 public:
  enum class Op { moveTo, lineTo, curveTo, close };
  struct Element {
    Op op = Op::moveTo;
    // moveTo/lineTo use points[0]; curveTo uses control 1, control 2, end point.
    CanvasPoint points[3];
  };

  Path& moveTo(CanvasPoint p) { return add({Op::moveTo, {p, {}, {}}}); }
  Path& lineTo(CanvasPoint p) { return add({Op::lineTo, {p, {}, {}}}); }
  Path& curveTo(CanvasPoint control1, CanvasPoint control2, CanvasPoint end) {
    return add({Op::curveTo, {control1, control2, end}});
  }
  Path& close() { return add({Op::close, {}}); }

  Path& addRect(const CanvasRect& r) {
    moveTo({r.x, r.y});
    lineTo({r.x + r.width, r.y});
    lineTo({r.x + r.width, r.y + r.height});
    lineTo({r.x, r.y + r.height});
    return close();
  }

  // Circular corners of `radius` on both axes, limited to half the shorter side (as
  // NSBezierPath does).
  Path& addRoundedRect(const CanvasRect& r, double radius) {
    double k = std::clamp(radius, 0.0, std::min(r.width, r.height) / 2);
    if (k <= 0) return addRect(r);
    double c = k * (1 - kArc);
    double x0 = r.x, y0 = r.y, x1 = r.x + r.width, y1 = r.y + r.height;
    moveTo({x0 + k, y0});
    lineTo({x1 - k, y0});
    curveTo({x1 - c, y0}, {x1, y0 + c}, {x1, y0 + k});
    lineTo({x1, y1 - k});
    curveTo({x1, y1 - c}, {x1 - c, y1}, {x1 - k, y1});
    lineTo({x0 + k, y1});
    curveTo({x0 + c, y1}, {x0, y1 - c}, {x0, y1 - k});
    lineTo({x0, y0 + k});
    curveTo({x0, y0 + c}, {x0 + c, y0}, {x0 + k, y0});
    return close();
  }

  // The ellipse inscribed in `r`.
  Path& addEllipse(const CanvasRect& r) {
    double rx = r.width / 2, ry = r.height / 2;
    double cx = r.x + rx, cy = r.y + ry;
    double ox = rx * kArc, oy = ry * kArc;
    moveTo({cx + rx, cy});
    curveTo({cx + rx, cy + oy}, {cx + ox, cy + ry}, {cx, cy + ry});
    curveTo({cx - ox, cy + ry}, {cx - rx, cy + oy}, {cx - rx, cy});
    curveTo({cx - rx, cy - oy}, {cx - ox, cy - ry}, {cx, cy - ry});
    curveTo({cx + ox, cy - ry}, {cx + rx, cy - oy}, {cx + rx, cy});
    return close();
  }

  static Path rect(const CanvasRect& r) { return Path().addRect(r); }
  static Path roundedRect(const CanvasRect& r, double radius) {
    return Path().addRoundedRect(r, radius);
  }
  static Path ellipse(const CanvasRect& r) { return Path().addEllipse(r); }

  const std::vector<Element>& elements() const { return elements_; }
  bool isEmpty() const { return elements_.empty(); }

 private:
  // Control-point distance of a cubic that approximates a quarter circle of radius 1.
  static constexpr double kArc = 0.5522847498307936;

  Path& add(Element e) {
    elements_.push_back(e);
    return *this;
  }
  std::vector<Element> elements_;
};

struct GradientStop {
  double location = 0;  // 0 at `start`, 1 at `end`
  Color color;
};

// Colours change along the line from `start` to `end`; beyond either end the end colour
// continues. Stops are given in increasing location.
struct LinearGradient {
  CanvasPoint start;
  CanvasPoint end;
  std::vector<GradientStop> stops;
};

// A soft shadow under whatever is filled, stroked or drawn while it is set, each drawing
// casting its own. `blurRadius` is in points, as CGContextSetShadowWithColor's blur; the
// offset is in points with y down, so a positive `offset.y` drops the shadow lower.
struct Shadow {
  Color color = Color::black(0.33);
  double blurRadius = 0;
  CanvasPoint offset;
};

enum class FontWeight { regular, medium, semibold, bold };

// `system` is the interface font (SF Pro on a Mac, a close stand-in elsewhere); emoji in a
// `system` text still come out in colour through the platform's font fallback. `emoji`
// asks for the colour emoji font directly.
enum class FontFamily { system, emoji };

struct Font {
  double pointSize = 13;
  FontWeight weight = FontWeight::regular;
  FontFamily family = FontFamily::system;

  static Font system(double size, FontWeight weight = FontWeight::regular) {
    return {size, weight, FontFamily::system};
  }
  bool operator==(const Font&) const = default;
};

// How a bitmap is laid into a rectangle: stretched over all of it, scaled to fit inside it
// keeping its proportions (centred, bars left empty), or scaled to cover it keeping its
// proportions (centred, cut off at the rectangle's edges).
enum class ImageScaling { stretch, aspectFit, aspectFill };

class Canvas;

// A picture that draws itself on demand, so it is sharp at every backing scale. Symbols and
// tiles are vector images; `size` is their natural size in points.
class VectorImage {
 public:
  virtual ~VectorImage() = default;
  virtual Size size() const = 0;
  // Draws the whole picture scaled into `into`. Leaves the canvas state as it found it.
  virtual void draw(Canvas& canvas, const CanvasRect& into) const = 0;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual Size size() const = 0;     // points
  virtual double scale() const = 0;  // pixels per point
  virtual int pixelWidth() const = 0;
  virtual int pixelHeight() const = 0;

  // --- state -----------------------------------------------------------------------------
  virtual void save() = 0;
  virtual void restore() = 0;
  // Intersects the clip with the inside of `path`.
  virtual void clip(const Path& path) = 0;
  // Moves and scales what is drawn after it (applied to coordinates before the current
  // transform, as CGContextTranslateCTM/ScaleCTM).
  virtual void translate(double dx, double dy) = 0;
  virtual void scaleBy(double sx, double sy) = 0;
  // Opacity multiplied into everything drawn after it, 0…1 (1 initially).
  virtual void setAlpha(double alpha) = 0;
  // None removes the shadow.
  virtual void setShadow(std::optional<Shadow> shadow) = 0;

  // --- shapes ----------------------------------------------------------------------------
  virtual void fill(const Path& path, const Color& color) = 0;
  virtual void fill(const Path& path, const LinearGradient& gradient) = 0;
  // The line is centred on the outline: half of `lineWidth` falls inside.
  virtual void stroke(const Path& path, const Color& color, double lineWidth) = 0;

  // --- images ----------------------------------------------------------------------------
  // Source-over with high-quality interpolation. An invalid bitmap draws nothing.
  virtual void drawImage(const Bitmap& image, const CanvasRect& into,
                         ImageScaling scaling = ImageScaling::stretch) = 0;
  void drawImage(const VectorImage& image, const CanvasRect& into) {
    save();
    image.draw(*this, into);
    restore();
  }

  // --- text (one line) -------------------------------------------------------------------
  // Width of the line and its height (ascent + descent + leading of the font), in points.
  virtual Size measureText(std::string_view utf8, const Font& font) = 0;
  // Draws the line with the top-left corner of its measured box at `origin`. When
  // `maxWidth` is given and the line is wider, it is cut at the tail and ends in "…".
  virtual void drawText(std::string_view utf8, const Font& font, const Color& color,
                        CanvasPoint origin, std::optional<double> maxWidth = std::nullopt) = 0;
  // The text drawText would show within `maxWidth`: unchanged when it fits, otherwise a
  // prefix (whole characters) followed by "…".
  virtual std::string truncateTail(std::string_view utf8, const Font& font, double maxWidth) = 0;

  // --- pixels ----------------------------------------------------------------------------
  // The pixels as straight (not premultiplied) RGBA, with `pointSize` set to size().
  virtual Bitmap bitmap() const = 0;
  // The pixels as a PNG file's bytes; none when encoding fails.
  virtual std::optional<std::vector<std::uint8_t>> encodePNG() const = 0;
};

// Saves the state on construction and restores it on destruction.
class CanvasStateSaver {
 public:
  explicit CanvasStateSaver(Canvas& canvas) : canvas_(canvas) { canvas_.save(); }
  ~CanvasStateSaver() { canvas_.restore(); }
  CanvasStateSaver(const CanvasStateSaver&) = delete;
  CanvasStateSaver& operator=(const CanvasStateSaver&) = delete;

 private:
  Canvas& canvas_;
};

// Makes fully transparent canvases: the virtual Mac and the Mac glue each provide one.
class CanvasFactory {
 public:
  virtual ~CanvasFactory() = default;
  // None when the size or scale is not positive or the pixels cannot be allocated.
  virtual std::unique_ptr<Canvas> makeCanvas(Size points, double scale) = 0;
};

// A vector image whose content is a drawing procedure over its natural size: the
// procedure draws into (0, 0, size) and is scaled to wherever the image is drawn.
class DrawnImage final : public VectorImage {
 public:
  using Procedure = std::function<void(Canvas&, Size)>;
  DrawnImage(Size size, Procedure procedure) : size_(size), procedure_(std::move(procedure)) {}

  Size size() const override { return size_; }
  void draw(Canvas& canvas, const CanvasRect& into) const override {
    if (size_.width <= 0 || size_.height <= 0 || !procedure_) return;
    CanvasStateSaver saved(canvas);
    canvas.translate(into.x, into.y);
    canvas.scaleBy(into.width / size_.width, into.height / size_.height);
    procedure_(canvas, size_);
  }

 private:
  Size size_;
  Procedure procedure_;
};

// The image drawn over a fresh canvas of its natural size at `scale`; none when no canvas
// can be made.
inline std::unique_ptr<Canvas> rasterize(CanvasFactory& factory, const VectorImage& image,
                                         double scale) {
  Size size = image.size();
  std::unique_ptr<Canvas> canvas = factory.makeCanvas(size, scale);
  if (canvas) canvas->drawImage(image, CanvasRect{0, 0, size.width, size.height});
  return canvas;
}

}  // namespace velmora::platform
