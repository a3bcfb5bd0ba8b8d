#pragma once
// Reads Mission Control's desktop bar out of the accessibility tree of the process that
// draws it (the Dock, or the window manager from macOS 27): per display the bar's frame and
// each desktop thumbnail's button, description ("Desktop 3") and frame. It also keeps an
// accessibility observer on that process so the detector hears about activity at once, and
// presses thumbnails for the switcher. Without the Accessibility grant every read is empty
// and no observer is installed.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/geometry.h"
#include "core/line_log.h"
#include "core/main_loop.h"
#include "mission_control/mission_control_host.h"
#include "platform/platform.h"

namespace velmora {

class DockAccess {
 public:
  struct Item {
    platform::AXElementRef element;
    std::string description;  // "Desktop 3"
    AXRect frame;             // accessibility coordinates
    std::optional<int> number() const { return trailingNumber(description); }
  };
  struct Row {
    std::uint32_t displayID = 0;
    std::optional<AXRect> bar;
    std::vector<Item> items;
  };

  // The notifications the observer asks for, in the order it registers them.
  static constexpr const char* kObservedNotifications[] = {"AXCreated", "AXUIElementDestroyed",
                                                           "AXSelectedChildrenChanged",
                                                           "AXFocusedUIElementChanged"};
  static constexpr float kMessagingTimeout = 0.25f;
  // Labels in Mission Control are set in the system font at this size.
  static constexpr double kLabelFontSize = 12;
  // Window-manager layout (macOS 27): label box and thumbnail insets around a button.
  static constexpr double kLabelHeight = 23;
  static constexpr double kLabelGap = 1;
  static constexpr double kInsetLeft = 12.5;
  static constexpr double kInsetRight = 12.5;
  static constexpr double kInsetTop = 10.5;
  static constexpr double kInsetBottom = 20.5;

  // `log` receives the observer line (the app passes the mission-control log); `trusted`
  // answers the Accessibility grant (the app passes Accessibility::trusted).
  DockAccess(platform::Platform platform, MissionControlHost host, LineLog& log,
             std::function<bool()> trusted);
  ~DockAccess();
  DockAccess(const DockAccess&) = delete;
  DockAccess& operator=(const DockAccess&) = delete;

  const MissionControlHost& host() const { return host_; }
  // Finds the process and keeps the element and the observer current; null when the
  // process is not running.
  platform::AXElementRef ensureApplication();
  // Stores the handler of observer notifications and installs the observer if it can.
  void setHandler(std::function<void(const std::string& notification)> handler);
  // Every display's bar; empty when the process is missing, access is not granted or
  // Mission Control is not on screen.
  std::vector<Row> rows();
  bool press(const Item& item);
  // The width of the system's own "Desktop N" label: measured, rounded up, plus padding.
  double systemLabelWidth(int number);
  // The same measurement for any text (the window manager's labels).
  double labelWidth(const std::string& text);
  std::int32_t pid() const { return pid_; }
  bool hasObserver() const { return observer_ != nullptr; }
  // How many bar lists the last full walk remembered (the fast path reads only those).
  std::size_t cachedBarCount() const { return cachedBars_.size(); }

  // ---- Pure parsing, fed directly by tests and the fuzzer ----
  // The run of decimal digits at the very end of a description; none when there is none or
  // it does not fit an int.
  static std::optional<int> trailingNumber(std::string_view description);
  // A frame from an "AXPosition" point and an "AXSize" size answer; none unless both read.
  static std::optional<AXRect> frameFrom(const platform::AXAttribute& position,
                                         const platform::AXAttribute& size);
  // The window manager reports a button by its centre. Inside the bar it is a thumbnail
  // (inset to the picture); above it, a name label `labelWidth` wide sitting on the button.
  static AXRect windowManagerFrame(const AXRect& reported, const std::optional<AXRect>& bar,
                                   double labelWidth);

 private:
  struct CachedBar {
    std::uint32_t displayID = 0;
    platform::AXElementRef list;
  };

  void dropObserver();
  std::optional<Row> readRow(const platform::AXElementRef& list, std::uint32_t displayID);
  std::vector<Item> readItems(const std::vector<platform::AXElementRef>& children,
                              const std::optional<AXRect>& bar);
  std::uint32_t mainDisplayID();
  double measure(std::string_view text);

  platform::Platform platform_;
  MissionControlHost host_;
  LineLog& log_;
  std::function<bool()> trusted_;
  platform::AXElementRef application_;
  std::int32_t pid_ = 0;
  std::vector<CachedBar> cachedBars_;
  std::unique_ptr<platform::AXObserver> observer_;
  std::function<void(const std::string&)> handler_;
  std::unique_ptr<platform::Canvas> measuring_;
  Lifetime lifetime_;
};

}  // namespace velmora
