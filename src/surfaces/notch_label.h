#pragma once
// The current desktop's name beside the camera notch, in the menu bar band of every notched
// screen. It leaves while Mission Control is up, fades while a swipe between desktops runs
// and comes back once the swipe settled or landed, and it stands in for the menu bar tile
// when a crowded bar dropped it: then it shows even if the user did not ask for it and takes
// the tile's clicks.
//
// A swipe's "settled" checks are queued on the main loop; each carries the generation it was
// queued under and does nothing once a later swipe or a landing moved it on.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/line_log.h"
#include "core/main_loop.h"
#include "core/notification_center.h"
#include "mission_control/mission_control_detector.h"
#include "platform/platform.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/settings.h"
#include "surfaces/status_bar_controller.h"

namespace velmora {

struct NotchServices {
  platform::Platform platform;
  NotificationCenter& center;
  SpaceEngine& engine;
  Settings& settings;
  const DesktopPresentation& presentation;
  LineLog& log;  // the switches log
  // Where the menu bar tile is; none: always in the bar.
  std::function<TilePresence()> tilePresence;
};

// A screen with a camera notch and the notch's rectangle (the menu bar band between the two
// auxiliary areas), in drawing coordinates.
struct NotchArea {
  platform::ScreenInfo screen;
  ScreenRect notch;
};

// Every screen that reports both auxiliary areas, in the screens' order. Areas that lie
// outside their screen (a screen-local answer) are moved by the screen's origin; a notch of
// no width, or one reaching past either side of the screen, is no notch.
std::vector<NotchArea> notchGeometry(const std::vector<platform::ScreenInfo>& screens);

// The label's outline (y down): straight top and inner edge, only the bottom corner away
// from the notch rounded, by at most half the shorter side.
platform::Path notchLabelShape(NotchSide outerSide, double radius, Size size);

// What one label shows.
struct NotchState {
  std::optional<Desktop> desktop;
  NotchSide side = NotchSide::left;
  NotchContent content = NotchContent::iconAndName;
  double height = 0;  // the menu bar band
  bool operator==(const NotchState&) const = default;
};

class NotchLabel {
 public:
  static constexpr double kMaxWidth = 300;
  static constexpr double kUnderNotch = 40;  // of the width, hidden under the housing
  static constexpr double kSettleWindow = 1.0;
  static constexpr double kFadeOut = 0.08;
  static constexpr double kFadeIn = 0.14;
  static constexpr double kRadius = 9;
  static constexpr double kFontSize = 13;
  static constexpr double kPreviewBand = 24;
  static constexpr double kStandInNotchWidth = 180;

  struct Panel {
    NotchState state;
    std::unique_ptr<platform::Panel> panel;
    std::optional<std::uint64_t> shownDesktopID;
    bool isDoor = false;
    bool takesClicks = false;
  };

  explicit NotchLabel(NotchServices services);
  ~NotchLabel();
  NotchLabel(const NotchLabel&) = delete;
  NotchLabel& operator=(const NotchLabel&) = delete;

  void start();
  void stop();
  void setMissionControlOpen(bool open);
  void refresh();
  // The active desktop changed.
  void landed();
  // The label beside a drawn notch on a screen without one (or beside the real one), for
  // `seconds`.
  void preview(double seconds);
  // A click on a label: the label's frame to anchor to, and whether it was the right button.
  void setOnClick(std::function<void(ScreenRect, bool right)> fn) { onClick_ = std::move(fn); }
  // A click reached the label at the moment's panel for `displayUUID`.
  void click(const std::string& displayUUID, bool right);

  bool isVisible() const;
  bool started() const { return started_; }
  bool ghosted() const { return ghosted_; }
  bool standingIn() const { return standingIn_; }
  std::uint64_t unghostGeneration() const { return unghostGeneration_; }
  const std::map<std::string, Panel>& panels() const { return panels_; }
  GestureWatch& gestures() { return gestures_; }
  // One line per notched screen, for the diagnostics text.
  std::vector<std::string> report();
  // The frame of the first visible label, or the preview's, to anchor a popover to.
  std::optional<ScreenRect> anchor() const;

  // The label's width for `state`: the text and icon, the margins, the part under the notch.
  double fittingWidth(const NotchState& state);
  void draw(platform::Canvas& canvas, Size size, const NotchState& state) const;

 private:
  struct Showing {
    ScreenRect notch;
    std::string displayUUID;
    Desktop desktop;
  };
  std::vector<Showing> wanted();
  void show(Panel& p, const ScreenRect& notch, const Desktop& desktop);
  // A label for `displayUUID` hears its clicks; a preview's (no display) takes none.
  Panel makePanel(const std::string& name, const std::string& displayUUID);
  void gestureChanged(bool swiping);
  void scheduleSettled(std::uint64_t generation);
  void settled(std::uint64_t generation);
  void unghost(const std::string& reason);
  void announceVisibility();
  std::string toolTip(const Desktop& desktop) const;

  NotchServices s_;
  GestureWatch gestures_;
  std::map<std::string, Panel> panels_;
  bool started_ = false;
  bool missionControlOpen_ = false;
  std::vector<Panel> previewPanels_;  // the label and, without a notch, the drawn one
  std::uint64_t previewGeneration_ = 0;
  bool lastVisible_ = false;
  bool standingIn_ = false;
  bool ghosted_ = false;
  double ghostedAt_ = 0;
  std::uint64_t unghostGeneration_ = 0;
  bool settledPending_ = false;
  std::optional<TilePresence> lastPresence_;
  std::unique_ptr<platform::Canvas> measure_;
  std::function<void(ScreenRect, bool)> onClick_;
  std::vector<ObserverToken> observers_;
  Lifetime lifetime_;
};

}  // namespace velmora
