#pragma once
// The switch tag: a small dark card that shows the desktop just landed on, on the display
// that changed, and fades away. The same card carries short notices (toasts: a symbol and a
// sentence) and a preview for the settings window. One panel per display, plus "preview" and
// "toast", each made on first use and kept for the life of the process.
//
// The card's appear and disappear animations are poses over time: `HUDState` remembers when
// `visible` last changed, from which pose and with which curve, and the content draws the pose
// of the moment whenever it is drawn. The timings run on the main loop, so they are exact in
// virtual time.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/main_loop.h"
#include "platform/platform.h"
#include "spaces/desktop.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/settings.h"

namespace velmora {

struct HUDServices {
  platform::Platform platform;
  Settings& settings;
  SpaceEngine& engine;
  const DesktopPresentation& presentation;
};

// How the card looks at one moment.
struct HUDPose {
  double opacity = 1;
  double scale = 1;
  double offsetDown = 0;  // points, before the size factor
  bool operator==(const HUDPose&) const = default;
};

// The pose `visible` and hidden stand for.
inline constexpr HUDPose kHUDVisiblePose{1, 1, 0};
inline constexpr HUDPose kHUDHiddenPose{0, 0.92, 8};

// The curve a change of `visible` runs on.
enum class HUDCurve { none, spring, easeIn };

inline constexpr double kHUDSpringResponse = 0.3;
inline constexpr double kHUDSpringDamping = 0.78;
inline constexpr double kHUDEaseInDuration = 0.18;
inline constexpr double kHUDOffScreenDelay = 0.24;

// Progress 0…1 (a spring may overshoot 1) `elapsed` seconds into a change on `curve`; none
// means the change is over.
double hudProgress(HUDCurve curve, double elapsed);

struct HUDToast {
  std::string text;
  std::string symbol;
  bool operator==(const HUDToast&) const = default;
};

// What one panel shows; every change tells `changed` so the panel redraws.
class HUDState {
 public:
  const std::optional<Desktop>& desktop() const { return desktop_; }
  const std::optional<HUDToast>& toast() const { return toast_; }
  bool visible() const { return visible_; }
  HUDSize size() const { return size_; }
  bool showNumber() const { return showNumber_; }

  void setDesktop(std::optional<Desktop> desktop);
  void setToast(std::optional<HUDToast> toast);
  void setSize(HUDSize size);
  void setShowNumber(bool show);
  // Changes `visible` at `now`, animated on `curve` from the pose of the moment.
  void setVisible(bool visible, HUDCurve curve, double now);

  // The pose at `now`, and whether an animation is still running then.
  HUDPose pose(double now) const;
  bool isAnimating(double now) const;
  HUDCurve curve() const { return curve_; }

  // Hears every change of what the card shows (the panel redraws).
  void setOnChanged(std::function<void()> fn) { onChanged_ = std::move(fn); }

 private:
  void notify() {
    if (onChanged_) onChanged_();
  }
  std::function<void()> onChanged_;
  std::optional<Desktop> desktop_;
  std::optional<HUDToast> toast_;
  bool visible_ = false;
  HUDSize size_ = HUDSize::regular;
  bool showNumber_ = false;
  HUDCurve curve_ = HUDCurve::none;
  double changedAt_ = 0;
  HUDPose from_ = kHUDHiddenPose;
};

// The card, laid out over a state. `measuring` lays out as if visible, for the natural size.
struct HUDContent {
  const HUDState& state;
  const DesktopPresentation& presentation;
  bool measuring = false;

  static constexpr double kMargin = 40;  // around the card: room for its shadow and its scale

  // Where everything of the card goes, in card coordinates (top-left at 0, 0).
  struct Layout {
    Size card;
    double factor = 1;
    platform::CanvasRect tile;  // desktop card
    std::string title;
    platform::CanvasPoint titleAt;
    std::optional<std::string> numberLine;
    platform::CanvasPoint numberAt;
    platform::CanvasRect symbol;         // toast card
    std::vector<std::string> textLines;  // the text wrapped at word boundaries
    platform::CanvasPoint textAt;
    double textWidth = 0;
    double lineHeight = 0;
  };
  Layout layout(platform::Canvas& measure) const;
  // The size the content asks for: the card and its margin.
  Size fittingSize(platform::Canvas& measure) const;
  // Draws the card at `pose`, centred in a panel of `panel` size.
  void draw(platform::Canvas& canvas, Size panel, const HUDPose& pose) const;
};

class HUDPanel {
 public:
  HUDPanel(platform::Panels& panels, const std::string& key, MainLoop& loop,
           const DesktopPresentation& presentation);
  HUDState state;
  std::uint64_t generation = 0;
  platform::Panel& panel() { return *panel_; }
  const platform::Panel& panel() const { return *panel_; }

 private:
  std::unique_ptr<platform::Panel> panel_;
};

class SwitchHUD {
 public:
  static constexpr Size kPanelSize{800, 240};
  static constexpr int kPanelLevel = 1000;
  static constexpr double kTopInset = 24;
  static constexpr double kBottomInset = 48;

  explicit SwitchHUD(HUDServices services);

  void show(const Desktop& desktop, const std::string& displayUUID);
  void preview();
  void toast(const std::string& text, const std::string& symbol, double seconds = 3.5);
  void hideAll();
  bool isShowing() const;

  // The panel for a display identifier, "preview" or "toast"; null until first used.
  const HUDPanel* panel(const std::string& key) const;

 private:
  HUDPanel& panelFor(const std::string& key);
  void run(HUDPanel& panel, const platform::ScreenInfo& screen, double duration);

  HUDServices s_;
  std::map<std::string, std::unique_ptr<HUDPanel>> panels_;
  std::unique_ptr<platform::Canvas> measure_;  // text measuring for the card's natural size
  Lifetime lifetime_;
};

}  // namespace velmora
