#pragma once
// The application delegate: wires the long-lived objects together when Velmora has launched,
// keeps the surfaces in step with the settings, reacts to the Accessibility grant and to new
// versions, carries out links of Velmora's URL scheme, offers the move out of a disk image,
// and writes the time totals when the user quits. Everything runs on the main loop.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_link.h"
#include "app/launch_at_login.h"
#include "app/main_menu.h"
#include "app/surfaces.h"
#include "app/time_export.h"
#include "core/line_log.h"
#include "core/main_loop.h"
#include "core/notification_center.h"
#include "core/signal.h"
#include "mission_control/accessibility.h"
#include "platform/platform.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/log_file.h"
#include "store/settings.h"
#include "store/space_store.h"
#include "switching/desktop_switcher.h"
#include "switching/hotkey_bindings.h"
#include "switching/system_shortcuts.h"
#include "updates/updates.h"

namespace velmora {

// The shared objects the delegate works with; they exist before it and outlive it.
struct AppServices {
  platform::Platform platform;
  NotificationCenter& center;
  Settings& settings;
  SpaceStore& store;
  SpaceEngine& engine;
  DesktopSwitcher& switcher;
  Accessibility& access;
  Updates& updates;
  Logs& logs;
  LineLog& systemLog;
  const DesktopPresentation& presentation;
  SystemShortcuts& shortcuts;
  const KeyNames& keyNames;
  HotkeyCenter& hotkeyCenter;
  SurfaceKit& surfaces;
};

class AppDelegate final : public AppCommands {
 public:
  // Creates the switch tag, the Mission Control overlay, the quick switcher and the notch
  // label; the rest waits for the launch or for first use.
  explicit AppDelegate(AppServices services);
  ~AppDelegate() override;
  AppDelegate(const AppDelegate&) = delete;
  AppDelegate& operator=(const AppDelegate&) = delete;

  // ---- The application's callbacks ----
  void applicationDidFinishLaunching();
  // A second open of the app while it runs: the settings window, at its current page.
  bool applicationShouldHandleReopen(bool hasVisibleWindows);
  // Time totals and a change made in the last moments reach the disk.
  void applicationWillTerminate();
  void openURLs(const std::vector<std::string>& urls);
  void showSettingsFromMenu();

  // ---- What the surfaces ask of the application ----
  void openSettings(std::optional<SettingsPage> page = std::nullopt) override;
  void openFirstRun() override;
  void openMissionControl() override;
  void toggleQuickSwitcher() override;
  void togglePopoverFromNotch() override;
  // From the tile, else from the notch label when the tile is hidden, else the settings.
  void togglePopover() override;
  void closePopover() override;
  void switchTo(const Desktop& desktop) override;
  void openApp(const SpaceApp& app, const Desktop& desktop);
  void previewSwitchTag() override;
  void showHoverStrip() override;
  void previewNotchLabel() override;
  void togglePresentation() override;
  void editDesktop(const Desktop& desktop) override;
  void quit() override;
  std::string diagnostics();

  // ---- Counted time, for the time-tracking page ----
  // Flushes the totals and shows the save panel; its answer goes to saveTimeCSV, and `done`
  // hears the outcome. While the panel is open a second export does nothing.
  void exportTimeCSV(std::function<void(const TimeExportOutcome&)> done = nullptr);
  // Writes the file where the save panel answered; none (Cancel) writes nothing. A failure is
  // logged and shown as a toast, in one sentence.
  TimeExportOutcome saveTimeCSV(const std::optional<std::filesystem::path>& location);
  // Asks before every desktop's time goes back to zero; true when the user agreed.
  bool resetTimes();
  // Every desktop's time back to zero, without asking (the settings window asked already).
  void resetTimesNow();

  // What the settings window's pages ask of the application.
  SettingsHooks settingsHooks();

  // ---- State, for the developer tools and tests ----
  bool presenting() const { return presenting_; }
  bool sawUntrusted() const { return sawUntrusted_; }
  bool nudgedAboutAccess() const { return nudgedAboutAccess_; }
  // Whether the launch got through to the end of the normal start (no relaunch took over).
  bool launchCompleted() const { return launchCompleted_; }
  MenuBarTile* statusBar() { return statusBar_.get(); }
  HotkeyBindings& hotkeys();

 private:
  void settingsChanged();
  void applySettingsToSurfaces();
  void accessibilityChanged(bool trusted);
  void updateAvailable(const std::string& version);
  // True when the user accepted the move and the relaunch from Applications started.
  bool offerMoveToApplications();
  void afterUpdate();
  void handle(const AppLink& link);
  void linkMessage(const std::string& message);
  void toast(const std::string& text, const std::string& symbol, double seconds);
  bool relaunchFrom(const std::string& bundlePath);
  std::string runningVersion();
  SpaceHover& hover();
  FirstRunWindow& firstRun();
  SettingsWindow& settingsWindow();

  AppServices s_;
  LaunchAtLogin launchAtLogin_;
  SurfaceContext context_;
  std::unique_ptr<SwitchTag> hud_;
  std::unique_ptr<MissionControlLabels> overlay_;
  std::unique_ptr<QuickSwitcherSurface> switcher_;
  std::unique_ptr<NotchName> notch_;
  std::unique_ptr<MenuBarTile> statusBar_;
  std::unique_ptr<MenuPopoverController> popover_;
  std::unique_ptr<SpaceHover> hover_;
  std::unique_ptr<SettingsWindow> settingsWindow_;
  std::unique_ptr<FirstRunWindow> firstRunWindow_;
  std::unique_ptr<HotkeyBindings> hotkeys_;
  std::vector<Connection> subscriptions_;
  std::vector<ObserverToken> observers_;
  bool nudgedAboutAccess_ = false;
  bool sawUntrusted_ = false;
  bool presenting_;
  std::optional<bool> lastTrusted_;
  std::optional<std::string> lastUpdateVersion_;
  std::uint64_t settingsGeneration_ = 0;
  bool launchCompleted_ = false;
  bool exportPanelOpen_ = false;
  Lifetime lifetime_;
};

}  // namespace velmora
