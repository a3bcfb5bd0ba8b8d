#pragma once
// The strip at the top edge: resting the pointer in the top two points of a screen brings in,
// just below the menu bar, one card per desktop with its glyph, name and applications. A click
// on a card goes to that desktop; a click on an application's icon goes there and brings the
// application forward. The strip stays while the pointer is near it and fades out shortly
// after it leaves; a click or the explicit command pins it for a moment so the switch happens
// under it.
//
// HoverStrip watches the pointer (global and local monitors) and runs the dwell and leave
// timers; HoverPanel is the floating panel; HoverStripView lays out and paints its items
// (HoverStripItem, HoverStripAppIcon) through the canvas.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/main_loop.h"
#include "core/notification_center.h"
#include "platform/platform.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/settings.h"

namespace velmora {

struct HoverStripServices {
  platform::Platform platform;
  SpaceEngine& engine;
  const Settings& settings;
  const DesktopPresentation& presentation;
  // Whether Mission Control is open: no strip comes in over it.
  std::function<bool()> missionControlIsOpen;
};

// One application's icon under a card.
struct HoverStripAppIcon {
  SpaceApp app;
  platform::CanvasRect frame;  // in the panel's content, y down
  std::string help;            // "Open Safari here"
};

// One desktop: its card, its title below and its applications' icons.
struct HoverStripItem {
  Desktop desktop;
  std::string title;
  std::string help;  // "Mail · Desktop 2"
  platform::CanvasRect frame;
  platform::CanvasRect card;
  platform::CanvasRect titleBox;
  std::vector<HoverStripAppIcon> icons;
  std::size_t hiddenApps = 0;  // applications with no room for an icon
};

class HoverStripView {
 public:
  static constexpr double kItemWidth = 64;
  static constexpr double kCardHeight = 40;
  static constexpr double kSpacing = 6;
  static constexpr double kSideMargin = 10;
  static constexpr double kTopMargin = 9;
  static constexpr double kCornerRadius = 16;
  static constexpr double kCardRadius = 9;
  static constexpr double kGlyphSize = 16;
  static constexpr double kIconSize = 13;
  static constexpr double kIconGap = 3;
  static constexpr double kTitleSize = 10.5;
  static constexpr double kHoverScale = 1.05;
  static constexpr double kHoverAnimation = 0.12;

  HoverStripView(HoverStripServices& services, platform::CanvasFactory& canvases)
      : s_(services), canvases_(canvases) {}

  // Reads the engine's desktops and applications afresh and lays them out at their natural
  // width; answers the natural size.
  Size load();
  // Lays the items out again across `width` (narrower than natural when the screen is).
  void fit(double width);
  Size size() const { return size_; }
  const std::vector<HoverStripItem>& items() const { return items_; }

  struct Hit {
    std::size_t item = 0;
    std::optional<std::size_t> icon;
  };
  std::optional<Hit> hitTest(platform::CanvasPoint point) const;
  // The pointer is over this point (none: it left): the item or icon under it grows.
  void hover(std::optional<platform::CanvasPoint> point, double now);
  std::optional<Hit> hovered() const { return hovered_; }
  // The help text of what is under the point; empty over nothing.
  std::string helpAt(platform::CanvasPoint point) const;

  void paint(platform::Canvas& canvas, Size size, double now);

 private:
  double scaleOf(bool hovered, double now, double full) const;

  HoverStripServices& s_;
  platform::CanvasFactory& canvases_;
  std::vector<HoverStripItem> items_;
  Size size_;
  double titleHeight_ = 13;
  std::optional<Hit> hovered_;
  double hoveredSince_ = -std::numeric_limits<double>::infinity();
};

// The floating panel the strip lives in; made on the first opening and kept.
class HoverPanel {
 public:
  static constexpr Size kInitialSize{400, 96};
  static constexpr int kLevel = 101;
  static constexpr const char* kName = "hover strip";

  HoverPanel(HoverStripServices& services, std::function<void(const Desktop&)> onSelect,
             std::function<void(const SpaceApp&, const Desktop&)> onOpen);
  platform::Panel& panel() { return *panel_; }
  const platform::Panel& panel() const { return *panel_; }
  HoverStripView& view() { return view_; }
  const HoverStripView& view() const { return view_; }

 private:
  void clicked(platform::CanvasPoint point);

  HoverStripServices& s_;
  HoverStripView view_;
  std::function<void(const Desktop&)> onSelect_;
  std::function<void(const SpaceApp&, const Desktop&)> onOpen_;
  std::unique_ptr<platform::Panel> panel_;
  Lifetime lifetime_;
};

class HoverStrip {
 public:
  static constexpr double kBand = 2;             // the trigger band at the top of a screen
  static constexpr double kCentreShare = 0.11;   // half the centre zone, of the width
  static constexpr double kKeepOpenMargin = 40;  // around the panel
  static constexpr double kLeaveDelay = 0.35;
  static constexpr double kLeaveTolerance = 0.05;
  static constexpr double kDwellTolerance = 0.02;
  static constexpr double kClickPin = 1.5;
  static constexpr double kCommandPin = 4.0;
  static constexpr double kFadeIn = 0.16;
  static constexpr double kFadeOut = 0.14;
  static constexpr double kGapBelowMenuBar = 6;
  static constexpr double kScreenMargin = 40;  // the strip is at most this much narrower
  static constexpr const char* kSelectReason = "hover strip";
  static constexpr const char* kOpenReason = "hover strip app";

  explicit HoverStrip(HoverStripServices services);
  ~HoverStrip();
  HoverStrip(const HoverStrip&) = delete;
  HoverStrip& operator=(const HoverStrip&) = delete;

  void start();
  void stop();
  bool isStarted() const { return globalMonitor_ || localMonitor_; }
  // Opens the strip on the screen (the main one when none), pinned for `pin` seconds.
  void showStrip(double pin, std::optional<platform::ScreenInfo> screen = std::nullopt);
  void hide();
  // Mission Control opened: the strip makes way for it.
  void missionControlChanged(bool open);

  // What every pointer movement runs.
  void pointerMoved(ScreenPoint p);

  bool isShowing() const { return panel_ && panel_->panel().isVisible(); }
  bool isDwelling() const { return dwellTimer_ != nullptr; }
  bool isLeaving() const { return leaveTimer_ != nullptr; }
  double pinnedUntil() const { return pinnedUntil_; }
  const HoverPanel* panel() const { return panel_.get(); }
  HoverPanel* panel() { return panel_.get(); }
  // The name of the screen the strip last opened on (NSScreen.localizedName).
  const std::string& screenName() const { return screenName_; }

 private:
  const ScreenRect* screenContaining(ScreenPoint p);
  void readScreens();
  void dwellFired(double band);
  void leaveFired();
  void screensChanged();
  void cancelDwell() { dwellTimer_.reset(); }
  void cancelLeave() { leaveTimer_.reset(); }
  bool keepsOpen(ScreenPoint p) const;

  HoverStripServices s_;
  std::optional<platform::PointerMonitorID> globalMonitor_;
  std::optional<platform::PointerMonitorID> localMonitor_;
  std::unique_ptr<RepeatingTimer> dwellTimer_;
  std::unique_ptr<RepeatingTimer> leaveTimer_;
  std::unique_ptr<HoverPanel> panel_;
  double pinnedUntil_ = -std::numeric_limits<double>::infinity();
  // Screen frames as of the last look: each movement is matched against these, and they are
  // read again when the screens change or a point falls on none of them.
  std::vector<ScreenRect> frames_;
  std::string screenName_;
  ScreenRect shownOn_;
  ObserverToken screensToken_;
  std::uint64_t fadeGeneration_ = 0;
  Lifetime lifetime_;
};

}  // namespace velmora
