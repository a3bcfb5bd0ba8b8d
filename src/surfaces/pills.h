#pragma once
// The pills over Mission Control's thumbnails: one rounded lozenge per desktop in its colour,
// with its white icon and name, laid over the thumbnail (or over the name label of a
// collapsed bar) and sized so that, below the preview, it hides the system's own
// "Desktop N" label.
//
// A pill is rendered once into a bitmap at the display's backing scale and cached by
// PillPainter; PillsView keeps one PillLayer per desktop. A layer's moves, arrivals and
// departures are poses over loop time, like the switch tag's: the layer remembers where it
// started, where it goes, when and on which curve, and the panel draws the pose of the moment.
// While anything moves, OverlayPanel asks its panel to redraw at 60 Hz so the Mac's view
// animates; nothing ticks while everything is still.
//
// Pill positions are in the panel's local coordinates: origin bottom-left, y up, as the
// overlay hands them over. Only drawing turns them into the canvas's y-down points.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/geometry.h"
#include "core/ids.h"
#include "core/main_loop.h"
#include "platform/canvas.h"
#include "platform/panels.h"
#include "spaces/desktop.h"
#include "spaces/presentation.h"
#include "store/settings.h"
#include "store/space_icon.h"

namespace velmora {

struct Pill {
  ScreenRect anchor;      // the thumbnail, or the collapsed bar's name label
  ScreenRect bar;         // the desktop bar it belongs to
  double labelWidth = 0;  // the system's own "Desktop N" label under the thumbnail
  Desktop desktop;
  bool operator==(const Pill&) const = default;
};

struct PillServices {
  MainLoop& loop;
  platform::CanvasFactory& canvases;
  Settings& settings;                       // mcScale, mcOffsetY, mcShowNumber, mcPlacement
  const DesktopPresentation& presentation;  // title, icon, colour, tint
  // What the process running Mission Control decides (the overlay fills them from its host):
  // how much wider than the system label a pill is, and the least height of a pill over a
  // collapsed bar's label.
  double extraWidth = 10;
  double collapsedMinHeight = 0;
};

// ---- Geometry and timing -------------------------------------------------------------------

inline constexpr double kPillHeight = 21;  // lengths before the mcScale factor
inline constexpr double kPillPadding = 9;
inline constexpr double kPillFontSize = 13;
inline constexpr double kPillIconSize = 13;
inline constexpr double kPillIconGap = 5;
inline constexpr double kPillCornerRadius = 6.5;
inline constexpr double kPillInsideLift = 6;
inline constexpr double kPillImageMargin = 12;      // points around the pill, for its shadow
inline constexpr double kPillCollapsedAnchor = 44;  // anchors this low are name labels
inline constexpr double kPillCollapsedMaxText = 260;
inline constexpr double kPillThumbnailTextInset = 16;
inline constexpr double kPillThumbnailMinText = 60;

inline constexpr double kPillMoveDuration = 0.28;       // ease-in-ease-out
inline constexpr double kPillSmallMoveDuration = 0.06;  // linear
inline constexpr double kPillSmallMove = 24;
inline constexpr double kPillFadeOutDuration = 0.224;  // ease-in-ease-out
inline constexpr double kPillFadeOutRise = 60;

// At this many cached images, the next new image empties the cache first.
inline constexpr std::size_t kPillCacheLimit = 200;

// The settings and host values a pass lays its pills out with, read once per `show`.
struct PillStyle {
  double scale = 1;
  double offsetY = 0;
  bool showNumber = false;
  PillPlacement placement = PillPlacement::belowPreview;
  double extraWidth = 10;
  double collapsedMinHeight = 0;

  static PillStyle from(const PillServices& services);
};

// Everything one pill needs to be drawn and placed.
struct PillLayout {
  bool collapsed = false;
  double minWidth = 0;
  double maxTextWidth = 0;
  std::string text;  // number and title as set, before truncation
  platform::Font font;
  double textWidth = 0;  // measured, clamped to maxTextWidth
  double textHeight = 0;
  SpaceIcon icon;
  bool hasIcon = false;  // an icon that renders; only then does it take room
  double iconSize = 0;
  double iconPart = 0;  // icon and gap, or 0
  double padding = 0;
  double naturalWidth = 0;
  Size size;  // the pill itself
  double cornerRadius = 0;
  platform::Color tint;
  ScreenPoint centre;  // panel coordinates, y up, mcOffsetY included
  double backingScale = 2;
  std::string cacheKey;

  // The image's size in points: the pill with its shadow margin, rounded up.
  Size imageSize() const;
};

// Measures one line of text in a font.
using PillTextMeasure = std::function<Size(const std::string& text, const platform::Font& font)>;

// Lays one pill out; `measure` is any canvas, used to measure the text.
PillLayout layoutPill(const Pill& pill, const PillStyle& style,
                      const DesktopPresentation& presentation, const PillTextMeasure& measure,
                      double backingScale);
inline PillLayout layoutPill(const Pill& pill, const PillStyle& style,
                             const DesktopPresentation& presentation, platform::Canvas& measure,
                             double backingScale) {
  return layoutPill(
      pill, style, presentation,
      [&measure](const std::string& text, const platform::Font& font) {
        return measure.measureText(text, font);
      },
      backingScale);
}

// ---- Images --------------------------------------------------------------------------------

using PillBitmap = std::shared_ptr<const platform::Bitmap>;

class PillPainter {
 public:
  explicit PillPainter(platform::CanvasFactory& canvases) : canvases_(canvases) {}

  // The image for `layout`, rendered on a miss; null when no canvas can be made.
  PillBitmap image(const PillLayout& layout);
  // Draws the pill of `layout` on a canvas of layout.imageSize() points.
  static void paint(platform::Canvas& canvas, const PillLayout& layout);

  std::size_t count() const { return cache_.size(); }
  std::size_t renders() const { return renders_; }  // images drawn since the painter was made
  bool contains(const std::string& key) const { return cache_.count(key) > 0; }

 private:
  platform::CanvasFactory& canvases_;
  std::unordered_map<std::string, PillBitmap> cache_;
  std::size_t renders_ = 0;
};

// ---- Layers --------------------------------------------------------------------------------

enum class PillCurve { linear, easeInEaseOut };

// Progress 0…1 `fraction` of the way through a change on `curve`.
double pillProgress(PillCurve curve, double fraction);

// One pill on screen: its image and a move from one pose to another over loop time.
struct PillLayer {
  SpaceID desktop;
  PillBitmap image;
  Size size;  // the image's bounds in points
  ScreenPoint from;
  double fromOpacity = 1;
  ScreenPoint to;  // where the layer is headed (or stands), its centre
  double toOpacity = 1;
  double start = 0;
  double duration = 0;
  PillCurve curve = PillCurve::linear;

  ScreenPoint position(double now) const;
  double opacity(double now) const;
  bool isAnimating(double now) const { return duration > 0 && now < start + duration; }
  // Heads for (`target`, `targetOpacity`) from the pose of the moment.
  void moveTo(ScreenPoint target, double targetOpacity, double now, double duration,
              PillCurve curve);
};

// The content of one overlay panel: pills in the panel's local coordinates.
class PillsView {
 public:
  explicit PillsView(PillServices services);

  // Shows exactly these pills, replacing what was there: new desktops drop in by their bar's
  // height while fading in, moved ones glide (briefly and linearly when the move is short),
  // desktops no longer listed are removed. Without `animate` everything lands at once.
  void show(const std::vector<Pill>& pills, bool animate, double backingScale);
  // Lifts every pill 60 points while fading it out, then removes them all and calls
  // `completion` on the loop (at once when not animated or when nothing is shown). A `show`
  // before then cancels the fade's end: its layers stay and the completion is not called.
  void fadeOut(bool animate, std::function<void()> completion);
  // The pose of the moment, on a canvas of `panelSize` points (y down).
  void draw(platform::Canvas& canvas, Size panelSize) const;
  bool isAnimating() const;
  // Every change of what the view shows (the panel redraws and starts its ticks).
  void setOnChange(std::function<void()> fn) { onChange_ = std::move(fn); }

  // For tests and `print mission control`: each layer's desktop id, position, size, opacity
  // now, in desktop-id order.
  struct LayerState {
    SpaceID desktop;
    ScreenPoint position;
    Size size;
    double opacity = 1;
  };
  std::vector<LayerState> layers() const;
  const PillPainter& painter() const { return painter_; }
  // The layout of the last `show` for a desktop; null when it has no layer.
  const PillLayout* layout(SpaceID desktop) const;

 private:
  void changed() {
    if (onChange_) onChange_();
  }

  PillServices s_;
  PillPainter painter_;
  std::map<SpaceID, PillLayer> layers_;
  std::map<SpaceID, PillLayout> layouts_;
  std::unique_ptr<platform::Canvas> measure_;
  // Text sizes by font size and text: passes repeat the same titles 30 times a second.
  std::unordered_map<std::string, Size> measured_;
  std::function<void()> onChange_;
  std::uint64_t generation_ = 0;  // bumped by show and fadeOut: a stale fade's end does nothing
  Lifetime lifetime_;
};

// A borderless click-through panel on one display (level CGWindowLevelForKey(13)+1 = 1001,
// no shadow, collection 337, no animation, 100×100 at first) whose content is a PillsView.
class OverlayPanel {
 public:
  static constexpr int kLevel = 1001;
  static constexpr Size kInitialSize{100, 100};
  static constexpr double kTickInterval = 1.0 / 60;

  OverlayPanel(PillServices services, platform::Panels& panels, const std::string& displayID);
  platform::Panel& panel() { return *panel_; }
  PillsView& pills() { return pills_; }
  const std::string& displayID() const { return displayID_; }
  bool isTicking() const { return ticker_ != nullptr; }

 private:
  void redraw();

  MainLoop& loop_;
  std::string displayID_;
  std::unique_ptr<platform::Panel> panel_;
  PillsView pills_;
  std::unique_ptr<RepeatingTimer> ticker_;
  Lifetime lifetime_;
};

}  // namespace velmora
