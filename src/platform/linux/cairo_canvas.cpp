#include "platform/linux/cairo_canvas.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <set>
#include <vector>

#include "platform/linux/alpha_blur.h"

namespace velmora::linuxhost {

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

struct SurfaceUnref {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextUnref {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct PatternUnref {
  void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};
struct GObjectUnref {
  void operator()(void* o) const { g_object_unref(o); }
};
struct FontDescriptionFree {
  void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceUnref>;
using ContextPtr = std::unique_ptr<cairo_t, ContextUnref>;
using PatternPtr = std::unique_ptr<cairo_pattern_t, PatternUnref>;
using PangoContextPtr = std::unique_ptr<PangoContext, GObjectUnref>;
using LayoutPtr = std::unique_ptr<PangoLayout, GObjectUnref>;
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionFree>;

constexpr const char* kEmojiFamily = "Noto Color Emoji";

// Cairo's image surfaces are limited to this many pixels a side.
constexpr int kMaxPixels = 32767;

const std::set<std::string>& installedFamilies() {
  static const std::set<std::string> families = [] {
    std::set<std::string> names;
    PangoFontFamily** list = nullptr;
    int count = 0;
    pango_font_map_list_families(pango_cairo_font_map_get_default(), &list, &count);
    for (int i = 0; i < count; ++i) names.insert(pango_font_family_get_name(list[i]));
    g_free(list);
    return names;
  }();
  return families;
}

// Emoji in system text reach the colour font through fontconfig's fallback. Naming it in
// the family list instead would let it take digits and "#" too (it carries them for
// keycaps), drawn grey.
std::string familyList(FontFamily family) {
  if (family == FontFamily::emoji) return kEmojiFamily;
  return systemFontFamily();
}

PangoWeight pangoWeight(FontWeight weight) {
  switch (weight) {
    case FontWeight::regular:
      return PANGO_WEIGHT_NORMAL;
    case FontWeight::medium:
      return PANGO_WEIGHT_MEDIUM;
    case FontWeight::semibold:
      return PANGO_WEIGHT_SEMIBOLD;
    case FontWeight::bold:
      return PANGO_WEIGHT_BOLD;
  }
  return PANGO_WEIGHT_NORMAL;
}

int pixelsFor(double points, double scale) {
  // A hair of tolerance so that 17 points at scale 3 is 51 pixels, not 52.
  return static_cast<int>(std::ceil(points * scale - 1e-9));
}

std::uint8_t clampByte(double v) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
}

void appendPath(cairo_t* cr, const Path& path) {
  cairo_new_path(cr);
  for (const Path::Element& e : path.elements()) {
    switch (e.op) {
      case Path::Op::moveTo:
        cairo_move_to(cr, e.points[0].x, e.points[0].y);
        break;
      case Path::Op::lineTo:
        cairo_line_to(cr, e.points[0].x, e.points[0].y);
        break;
      case Path::Op::curveTo:
        cairo_curve_to(cr, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y,
                       e.points[2].x, e.points[2].y);
        break;
      case Path::Op::close:
        cairo_close_path(cr);
        break;
    }
  }
}

void setColor(cairo_t* cr, const Color& c) {
  cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
}

// A premultiplied copy of a straight-alpha bitmap, as Cairo draws from.
SurfacePtr surfaceFromBitmap(const Bitmap& image) {
  SurfacePtr surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.pixelWidth, image.pixelHeight));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < image.pixelHeight; ++y) {
    const std::uint8_t* src =
        image.rgba.data() + static_cast<std::size_t>(y) * image.pixelWidth * 4;
    auto* dst = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < image.pixelWidth; ++x, src += 4) {
      const unsigned a = src[3];
      auto pre = [a](unsigned c) { return (c * a + 127) / 255; };
      dst[x] = (a << 24) | (pre(src[0]) << 16) | (pre(src[1]) << 8) | pre(src[2]);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

class CairoCanvas final : public platform::Canvas {
 public:
  CairoCanvas(Size points, double scale, SurfacePtr surface)
      : points_(points), scale_(scale), surface_(std::move(surface)) {
    cr_.reset(cairo_create(surface_.get()));
    cairo_scale(cr_.get(), scale, scale);
    states_.push_back({});

    pango_.reset(pango_font_map_create_context(pango_cairo_font_map_get_default()));
    // Unhinted outlines at fractional positions: a line measures the same in points at every
    // scale, and the glyphs are not snapped to a grid the Mac does not use either.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(pango_.get(), options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(pango_.get(), FALSE);
  }

  using Canvas::drawImage;  // the vector-image overload stays visible

  Size size() const override { return points_; }
  double scale() const override { return scale_; }
  int pixelWidth() const override { return cairo_image_surface_get_width(surface_.get()); }
  int pixelHeight() const override { return cairo_image_surface_get_height(surface_.get()); }

  void save() override {
    cairo_save(cr_.get());
    states_.push_back(states_.back());
  }
  void restore() override {
    if (states_.size() < 2) return;  // an unbalanced restore leaves the base state alone
    cairo_restore(cr_.get());
    states_.pop_back();
  }
  void clip(const Path& path) override {
    appendPath(cr_.get(), path);
    cairo_clip(cr_.get());
  }
  void translate(double dx, double dy) override { cairo_translate(cr_.get(), dx, dy); }
  void scaleBy(double sx, double sy) override {
    if (sx == 0 || sy == 0) {
      // Nothing drawn at zero size should show; Cairo rejects a singular matrix.
      cairo_new_path(cr_.get());
      cairo_rectangle(cr_.get(), 0, 0, 0, 0);
      cairo_clip(cr_.get());
      return;
    }
    cairo_scale(cr_.get(), sx, sy);
  }
  void setAlpha(double alpha) override { states_.back().alpha = std::clamp(alpha, 0.0, 1.0); }
  void setShadow(std::optional<Shadow> shadow) override { states_.back().shadow = shadow; }

  void fill(const Path& path, const Color& color) override {
    render([&](cairo_t* cr) {
      appendPath(cr, path);
      setColor(cr, color);
      cairo_fill(cr);
    });
  }

  void fill(const Path& path, const LinearGradient& gradient) override {
    if (gradient.stops.empty()) return;
    PatternPtr pattern(cairo_pattern_create_linear(gradient.start.x, gradient.start.y,
                                                   gradient.end.x, gradient.end.y));
    for (const GradientStop& stop : gradient.stops) {
      const Color& c = stop.color;
      cairo_pattern_add_color_stop_rgba(pattern.get(), std::clamp(stop.location, 0.0, 1.0), c.red,
                                        c.green, c.blue, c.alpha);
    }
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    render([&](cairo_t* cr) {
      appendPath(cr, path);
      cairo_set_source(cr, pattern.get());
      cairo_fill(cr);
    });
  }

  void stroke(const Path& path, const Color& color, double lineWidth) override {
    if (!(lineWidth > 0)) return;
    render([&](cairo_t* cr) {
      appendPath(cr, path);
      setColor(cr, color);
      cairo_set_line_width(cr, lineWidth);
      cairo_stroke(cr);
    });
  }

  void drawImage(const Bitmap& image, const CanvasRect& into, ImageScaling scaling) override {
    if (!image.isValid() || into.width <= 0 || into.height <= 0) return;
    SurfacePtr source = surfaceFromBitmap(image);
    if (!source) return;
    const double w = image.pixelWidth, h = image.pixelHeight;
    CanvasRect target = into;
    if (scaling != ImageScaling::stretch) {
      const double sx = into.width / w, sy = into.height / h;
      const double k = scaling == ImageScaling::aspectFit ? std::min(sx, sy) : std::max(sx, sy);
      target = {into.x + (into.width - w * k) / 2, into.y + (into.height - h * k) / 2, w * k,
                h * k};
    }
    render([&](cairo_t* cr) {
      cairo_save(cr);
      if (scaling == ImageScaling::aspectFill) {
        cairo_rectangle(cr, into.x, into.y, into.width, into.height);
        cairo_clip(cr);
      }
      cairo_translate(cr, target.x, target.y);
      cairo_scale(cr, target.width / w, target.height / h);
      cairo_set_source_surface(cr, source.get(), 0, 0);
      cairo_pattern_t* pattern = cairo_get_source(cr);
      // Edge pixels continue outwards, so the filter does not fade the border to clear.
      cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
      cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
      cairo_rectangle(cr, 0, 0, w, h);
      cairo_fill(cr);
      cairo_restore(cr);
    });
  }

  Size measureText(std::string_view utf8, const Font& font) override {
    LayoutPtr layout = makeLayout(utf8, font, std::nullopt);
    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    return {static_cast<double>(logical.width) / PANGO_SCALE,
            static_cast<double>(logical.height) / PANGO_SCALE};
  }

  void drawText(std::string_view utf8, const Font& font, const Color& color, CanvasPoint origin,
                std::optional<double> maxWidth) override {
    if (utf8.empty()) return;
    LayoutPtr layout = makeLayout(utf8, font, maxWidth);
    render([&](cairo_t* cr) {
      cairo_save(cr);
      setColor(cr, color);
      cairo_move_to(cr, origin.x, origin.y);
      pango_cairo_show_layout(cr, layout.get());
      cairo_restore(cr);
    });
  }

  std::string truncateTail(std::string_view utf8, const Font& font, double maxWidth) override {
    LayoutPtr layout = makeLayout(utf8, font, maxWidth);
    if (!pango_layout_is_ellipsized(layout.get())) return std::string(utf8);
    // Pango replaces the cut tail by one run that stands for all of it: what stays is the
    // text before that run.
    const int length = static_cast<int>(utf8.size());
    std::size_t kept = 0;
    PangoLayoutLine* line = pango_layout_get_line_readonly(layout.get(), 0);
    for (GSList* r = line ? line->runs : nullptr; r; r = r->next) {
      const PangoItem* item = static_cast<PangoGlyphItem*>(r->data)->item;
      if (item->offset + item->length == length) {
        kept = static_cast<std::size_t>(item->offset);
        break;
      }
    }
    return std::string(utf8.substr(0, kept)) + "…";
  }

  Bitmap bitmap() const override {
    cairo_surface_flush(surface_.get());
    Bitmap out;
    out.pixelWidth = pixelWidth();
    out.pixelHeight = pixelHeight();
    out.pointSize = points_;
    out.rgba.resize(static_cast<std::size_t>(out.pixelWidth) * out.pixelHeight * 4);
    const unsigned char* data = cairo_image_surface_get_data(surface_.get());
    const int stride = cairo_image_surface_get_stride(surface_.get());
    std::uint8_t* dst = out.rgba.data();
    for (int y = 0; y < out.pixelHeight; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t{y} * stride);
      for (int x = 0; x < out.pixelWidth; ++x, dst += 4) {
        const std::uint32_t p = row[x];
        const unsigned a = p >> 24;
        auto straight = [a](unsigned c) {
          return a == 0 ? std::uint8_t{0} : clampByte(c * 255.0 / a);
        };
        dst[0] = straight((p >> 16) & 0xff);
        dst[1] = straight((p >> 8) & 0xff);
        dst[2] = straight(p & 0xff);
        dst[3] = static_cast<std::uint8_t>(a);
      }
    }
    return out;
  }

  std::optional<std::vector<std::uint8_t>> encodePNG() const override {
    std::vector<std::uint8_t> bytes;
    cairo_surface_flush(surface_.get());
    cairo_status_t status = cairo_surface_write_to_png_stream(
        surface_.get(),
        [](void* closure, const unsigned char* data, unsigned int length) {
          auto* sink = static_cast<std::vector<std::uint8_t>*>(closure);
          sink->insert(sink->end(), data, data + length);
          return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    if (status != CAIRO_STATUS_SUCCESS) return std::nullopt;
    return bytes;
  }

 private:
  struct State {
    double alpha = 1;
    std::optional<Shadow> shadow;
  };
  using Drawing = std::function<void(cairo_t*)>;

  // Every drawing goes through here: its shadow first, then the drawing itself at the
  // state's opacity (through a group, so overlapping parts of one drawing do not show
  // through each other).
  void render(const Drawing& draw) {
    const State& state = states_.back();
    if (state.alpha <= 0) return;
    if (state.shadow && state.shadow->color.alpha > 0) castShadow(*state.shadow, state.alpha, draw);
    cairo_t* cr = cr_.get();
    if (state.alpha >= 1) {
      draw(cr);
      return;
    }
    cairo_push_group(cr);
    draw(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, state.alpha);
  }

  // Draws the drawing's coverage into a mask of its own (with a margin for the blur and the
  // offset, so shapes just off the canvas still cast onto it), blurs it and lays the
  // shadow colour through it, offset, under the clip in force. Offset and blur are in
  // points of the canvas and do not follow the transform, as on a Mac.
  void castShadow(const Shadow& shadow, double alpha, const Drawing& draw) {
    const double sigma = std::max(0.0, shadow.blurRadius) * scale_ / 2;
    const int radius = boxRadiusForSigma(sigma);
    const double dx = shadow.offset.x * scale_, dy = shadow.offset.y * scale_;
    const int margin =
        3 * radius + static_cast<int>(std::ceil(std::max(std::abs(dx), std::abs(dy))));
    const int width = pixelWidth() + 2 * margin, height = pixelHeight() + 2 * margin;
    if (width > kMaxPixels || height > kMaxPixels) return;

    SurfacePtr mask(cairo_image_surface_create(CAIRO_FORMAT_A8, width, height));
    if (cairo_surface_status(mask.get()) != CAIRO_STATUS_SUCCESS) return;
    cairo_surface_set_device_offset(mask.get(), margin, margin);
    {
      ContextPtr layer(cairo_create(mask.get()));
      cairo_matrix_t matrix;
      cairo_get_matrix(cr_.get(), &matrix);
      cairo_set_matrix(layer.get(), &matrix);
      draw(layer.get());
    }
    cairo_surface_flush(mask.get());
    blurAlpha(cairo_image_surface_get_data(mask.get()), width, height,
              cairo_image_surface_get_stride(mask.get()), radius);
    cairo_surface_mark_dirty(mask.get());
    cairo_surface_set_device_offset(mask.get(), 0, 0);

    cairo_t* cr = cr_.get();
    cairo_save(cr);
    cairo_identity_matrix(cr);
    const Color& c = shadow.color;
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha * alpha);
    cairo_mask_surface(cr, mask.get(), dx - margin, dy - margin);
    cairo_restore(cr);
  }

  LayoutPtr makeLayout(std::string_view utf8, const Font& font, std::optional<double> maxWidth) {
    LayoutPtr layout(pango_layout_new(pango_.get()));
    pango_layout_set_text(layout.get(), utf8.data(), static_cast<int>(utf8.size()));
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    FontDescriptionPtr description(pango_font_description_new());
    pango_font_description_set_family(description.get(), familyList(font.family).c_str());
    pango_font_description_set_weight(description.get(), pangoWeight(font.weight));
    pango_font_description_set_absolute_size(description.get(),
                                             std::max(0.0, font.pointSize) * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), description.get());
    if (maxWidth) {
      pango_layout_set_width(layout.get(),
                             static_cast<int>(std::max(0.0, *maxWidth) * PANGO_SCALE));
      pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
    }
    return layout;
  }

  Size points_;
  double scale_;
  SurfacePtr surface_;
  ContextPtr cr_;
  PangoContextPtr pango_;
  std::vector<State> states_;
};

}  // namespace

std::unique_ptr<platform::Canvas> CairoCanvasFactory::makeCanvas(Size points, double scale) {
  if (!(scale > 0) || !std::isfinite(scale) || !(points.width > 0) || !(points.height > 0) ||
      !std::isfinite(points.width) || !std::isfinite(points.height)) {
    return nullptr;
  }
  if (points.width * scale > kMaxPixels || points.height * scale > kMaxPixels) return nullptr;
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixelsFor(points.width, scale),
                                                pixelsFor(points.height, scale)));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return std::make_unique<CairoCanvas>(points, scale, std::move(surface));
}

const std::string& systemFontFamily() {
  static const std::string family =
      installedFamilies().count("Inter") ? std::string("Inter") : std::string("DejaVu Sans");
  return family;
}

bool hasColorEmojiFont() {
  return installedFamilies().count(kEmojiFamily) > 0;
}

}  // namespace velmora::linuxhost
