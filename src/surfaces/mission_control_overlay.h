#pragma once
// The names over Mission Control. While Mission Control is open the overlay reads every
// display's desktop bar from the Dock (or the window manager), matches each thumbnail to one
// of the engine's desktops and hands the pills of each display to a click-through panel on that
// display. It steps aside while the user clicks a thumbnail, notices the bar collapsing or
// leaving, writes one report per opening to the Mission Control log, and carries out the
// switcher's route that lands by pressing a thumbnail.
//
// Passes run 30 times a second while the thumbnails move and drop to the host's steady rate
// once they have been still for a while; nothing is redrawn when a pass finds the same pills.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/line_log.h"
#include "core/main_loop.h"
#include "mission_control/dock_access.h"
#include "mission_control/mission_control_detector.h"
#include "mission_control/mission_control_host.h"
#include "platform/platform.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/settings.h"
#include "surfaces/pills.h"

namespace velmora {

struct OverlayServices {
  platform::Platform platform;
  SpaceEngine& engine;
  Settings& settings;
  const DesktopPresentation& presentation;
  LineLog& log;  // mission-control.log
  // Seconds of work, for the time a pass takes; a steady clock when none. Scripts pass a
  // still one so their logs do not depend on the machine's speed.
  std::function<double()> stopwatch;
};

class MissionControlOverlay {
 public:
  // Anything this tall or shorter is a collapsed bar's name label, not a thumbnail.
  static constexpr double kLabelHeightLimit = 44;
  static constexpr double kDefaultBarHeight = 40;
  // Without a bar, the system label row sits this far below the thumbnail.
  static constexpr double kFallbackBarOffset = 28;
  // Pills that changed this recently keep the passes fast.
  static constexpr double kChangeWindow = 0.6;
  static constexpr double kFastPassInterval = 1.0 / 30;
  static constexpr double kClickTravel = 3.0;
  static constexpr double kClickQuiet = 0.5;
  static constexpr double kPressQuiet = 2.0;
  static constexpr std::size_t kMaxChanges = 24;
  // The press route: Mission Control takes about a third of a second to lay out its bar.
  static constexpr double kPressTick = 0.02;
  static constexpr double kPressLookFrom = 0.32;
  static constexpr double kPressFollowUp = 0.35;
  static constexpr double kPressGiveUp = 1.5;

  explicit MissionControlOverlay(OverlayServices services);
  ~MissionControlOverlay();
  MissionControlOverlay(const MissionControlOverlay&) = delete;
  MissionControlOverlay& operator=(const MissionControlOverlay&) = delete;

  // Mission Control closed while labels are on and Velmora may not read it.
  void setOnClosedWithoutAccess(std::function<void()> fn) {
    onClosedWithoutAccess_ = std::move(fn);
  }
  // Every opening and closing, after the overlay's own handling.
  void setOnOpenChange(std::function<void(bool open)> fn) { onOpenChange_ = std::move(fn); }

  void start();
  void stop();
  // The switcher's Mission Control route: opens Mission Control if needed and presses the
  // thumbnail of desktop `number`; `completion` hears once whether the switch can be taken as
  // done.
  void pressThumbnail(int number, std::function<void(bool)> completion);

  // One geometry pass, and the tick that decides whether one runs.
  void recheck();
  void pass();

  // ---- What the overlay knows, for diagnostics, the command line and tests ----
  MissionControlDetector& detector() { return detector_; }
  const MissionControlDetector& detector() const { return detector_; }
  DockAccess& dock() { return dock_; }
  // The last pass's text report; empty when it read nothing.
  const std::string& lastReport() const { return lastReport_; }
  // The last close report written to the log; empty before the first closing.
  const std::string& lastCloseReport() const { return lastCloseReport_; }
  // What is on screen, per display identifier, in drawing coordinates.
  const std::map<std::string, std::vector<Pill>>& pills() const { return lastPills_; }
  const std::vector<std::string>& changes() const { return changes_; }
  int passes() const { return passes_; }
  double passSeconds() const { return passSeconds_; }
  std::optional<double> expandedAt() const { return expandedAt_; }
  bool isSuppressed() const;
  // The running pass timer's interval, 0 when none runs.
  double passInterval() const;
  bool isPressing() const { return switchTimer_ != nullptr; }
  bool clickTapEnabled() const;
  const std::vector<AXRect>& barFrames() const { return barFrames_; }
  const std::vector<AXRect>& thumbnailFrames() const { return thumbnailFrames_; }
  // The panel of a display identifier; null until it first showed pills.
  OverlayPanel* panel(const std::string& display);
  std::vector<std::string> panelDisplays() const;

 private:
  struct PanelSlot {
    std::unique_ptr<OverlayPanel> panel;
    // Bumped by every show, so a fade that ends after pills came back leaves the panel up.
    std::uint64_t generation = 0;
  };

  void opened();
  void closed();
  void noteChange(const std::string& label);
  void setPassInterval(double interval);
  void hidePills(bool animated);
  void fadeOut(PanelSlot& slot, bool animated);
  void showPills(const std::map<std::string, std::vector<Pill>>& pills);
  void heard(const platform::TapEvent& event);
  void click(AXPoint at);
  void pressTick(int number, double startedAt);
  void finishPress(bool pressed);
  double secondsSinceOpened() const;
  double mainScreenHeight();
  double systemLabelWidth(int number);
  void catchUpWithDesktops(const std::vector<DockAccess::Row>& rows);
  // The engine's identifier of a row's display: the first display's when it names none.
  std::string displayOf(const DockAccess::Row& row);
  // The desktop the row's item at `index` shows, among the `desktops` of its display.
  std::optional<Desktop> desktopOf(const DockAccess::Row& row, std::size_t index,
                                   const std::vector<Desktop>& desktops);
  PillServices pillServices();

  OverlayServices s_;
  MissionControlHost host_;
  DockAccess dock_;
  MissionControlDetector detector_;
  std::function<void()> onClosedWithoutAccess_;
  std::function<void(bool)> onOpenChange_;

  std::string lastReport_;
  std::string lastCloseReport_;
  std::map<std::string, PanelSlot> panels_;
  std::map<std::string, std::vector<Pill>> lastPills_;
  double lastChange_;
  std::map<int, double> labelWidths_;
  std::map<int, double> systemLabelWidths_;
  std::string refreshedFor_;  // the bar counts the engine was last asked to catch up with
  std::unique_ptr<RepeatingTimer> geometryTimer_;
  std::unique_ptr<RepeatingTimer> switchTimer_;
  std::function<void(bool)> pressCompletion_;
  double suppressUntil_;
  std::optional<double> expandedAt_;
  int passes_ = 0;
  double passSeconds_ = 0;
  std::vector<std::string> changes_;
  std::vector<AXRect> barFrames_;
  std::vector<AXRect> thumbnailFrames_;
  std::unique_ptr<platform::EventTap> clickTap_;
  std::optional<AXPoint> mouseDownAt_;
  Lifetime lifetime_;
};

}  // namespace velmora
