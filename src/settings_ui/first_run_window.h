#pragma once
// The window a new user meets: what Velmora does, why it asks for Accessibility, whether
// the grant is on, and the buttons that ask for it or put the window away for good. The
// grant lives with the Accessibility object above this layer, so it arrives as functions.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/main_loop.h"
#include "platform/panels.h"
#include "platform/platform.h"
#include "settings_ui/window_chrome.h"
#include "store/settings.h"

namespace velmora {

struct FirstRunServices {
  platform::Platform platform;
  Settings& settings;                           // where "don't show this again" is kept
  std::function<bool()> trusted;                // the grant is on
  std::function<bool()> askedAgainAfterUpdate;  // this run reset a grant an update left stale
  std::function<void()> askForAccess;           // the system's prompt and the Accessibility list
};

class FirstRunWindowController {
 public:
  static constexpr std::string_view kTitle = "Welcome to Velmora";
  static constexpr std::string_view kPanelName = "first-run";
  static constexpr double kTitleBarHeight = WindowChrome::kTitleBarHeight;
  static constexpr Size kSize{540, 428};
  static constexpr std::string_view kWhyTitle = "Why Velmora needs Accessibility";
  static constexpr std::string_view kWhy =
      "Velmora reads Mission Control's desktop bar through Accessibility to put names on the "
      "thumbnails, and presses the system's desktop shortcuts for you. It never reads what you "
      "type.";
  static constexpr std::string_view kAllowTitle = "Allow Accessibility…";
  static constexpr std::string_view kNotNowTitle = "Not Now";
  static constexpr std::string_view kDoneTitle = "Done";
  static constexpr std::string_view kOnText = "Accessibility is on. You're all set.";
  static constexpr std::string_view kOffText = "Accessibility is off.";
  static constexpr std::string_view kAskedAgainText =
      "macOS asks again because Velmora was updated.";

  struct Feature {
    std::string_view symbol;
    std::string_view title;
    std::string_view detail;
  };
  static constexpr std::array<Feature, 3> kFeatures{{
      {"tag.fill", "Names on every desktop",
       "In the menu bar, beside the notch and as you switch."},
      {"bolt.fill", "Jump anywhere fast", "A shortcut per desktop, and a search over all of them."},
      {"rectangle.3.group", "Names over Mission Control",
       "Every thumbnail wears its name, so the right one is easy to spot."},
  }};

  enum class Button { allow, dismiss };

  explicit FirstRunWindowController(FirstRunServices services);
  ~FirstRunWindowController();
  FirstRunWindowController(const FirstRunWindowController&) = delete;
  FirstRunWindowController& operator=(const FirstRunWindowController&) = delete;

  void show();
  void close();
  bool isShowing() const { return panel_ && panel_->isVisible(); }
  // Runs after the window closed, whoever closed it.
  void setOnClosed(std::function<void()> fn) { onClosed_ = std::move(fn); }

  // "Allow Accessibility…": asks the system; the window stays until the grant arrives.
  void allow();
  // "Not Now", or "Done" once the grant is on: the window does not come back at launch.
  void dismiss();
  // The grant changed: the status line and the buttons follow.
  void refresh();

  // The status line as the window shows it.
  std::string statusText() const;
  // The buttons shown now, in screen points; the allow button is gone once the grant is on.
  std::optional<ScreenRect> buttonFrame(Button button) const;
  const platform::Panel* panel() const { return panel_.get(); }

  struct Layout {
    std::array<platform::CanvasRect, 3> features;
    platform::CanvasRect header, whyTitle, why, status, allow, dismiss;
  };
  // In panel coordinates (y down), title bar included.
  Layout layout() const;
  void draw(platform::Canvas& canvas, Size size) const;
  void mouseDown(platform::CanvasPoint point);

 private:
  bool trusted() const { return services_.trusted && services_.trusted(); }

  FirstRunServices services_;
  std::unique_ptr<platform::Panel> panel_;
  std::function<void()> onClosed_;
  Lifetime lifetime_;
};

}  // namespace velmora
