#pragma once
// One run of Velmora on the virtual Mac, driven by commands: what the user does (keys,
// links, naming desktops, adding displays), what time does, and what to print or expect.
// Scripts run in virtual time, so a script prints the same on every run; the interactive
// prompt runs the same commands on the wall clock. The language is described in
// docs/command-line.md.
//
// Velmora runs here as on a Mac: as a process of the virtual Mac. A request to terminate ends
// the running copy on the next loop turn the polite way; a relaunch script that names a
// bundle starts a new copy from there once the old one is gone; `kill` ends it as a crash
// would; `launch` starts a fresh copy on the same home.
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/recorded_surfaces.h"
#include "app/velmora_app.h"
#include "cli/update_server.h"
#include "core/line_log.h"
#include "core/notification_center.h"
#include "core/queued_loop.h"
#include "core/result.h"
#include "core/virtual_loop.h"
#include "platform/linux/host_services.h"
#include "platform/sim/virtual_mac.h"
#include "settings_ui/settings_content.h"

namespace velmora::cli {

class Session {
 public:
  enum class Status { ok, error, expectFailed, quit };

  // `virtualLoop` is the loop itself when time is virtual (scripts), else null (the wall
  // clock runs the loop). The home folder is `home` when given (it then stays after the run),
  // else a fresh temporary one.
  Session(QueuedLoop& loop, VirtualLoop* virtualLoop, std::ostream& out,
          std::optional<std::filesystem::path> home = std::nullopt);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Builds the world into the virtual Mac.
  Result<void> loadWorldFile(const std::string& path);
  Result<void> loadWorldText(std::string_view json);

  // Runs one command line. Errors are printed; a failed expectation is counted.
  Status execute(std::string_view line);
  // Starts Velmora unless a copy has already run in this session (a script that only sets the
  // machine up still launches it), and lets the launch run.
  void launch();
  // Quits Velmora as the user would (time totals written) if it runs; nothing more happens in
  // the run after that.
  void quit();

  // The commands, one line each ("words arguments — what it does"), from the same table
  // execute() dispatches by; only those whose words begin with `topic` when given.
  static std::vector<std::string> help(std::string_view topic = {});

  int failedExpectations() const { return failedExpectations_; }
  // Whether a copy of Velmora runs now.
  bool launched() const { return copy_ != nullptr && !quit_; }
  sim::VirtualMac& mac() { return mac_; }
  // The running copy (after `quit`, the one that quit), or null.
  VelmoraApp* app() { return copy_ ? copy_->app.get() : nullptr; }
  // The running copy's quick switcher, or null.
  QuickSwitcher* quickSwitcher() { return copy_ ? copy_->surfaces.quickSwitcher() : nullptr; }
  // The running copy's hover strip, or null before the delegate made it.
  HoverStrip* hoverStrip() { return copy_ ? copy_->surfaces.hoverStrip() : nullptr; }
  // The running copy's popover, or null before the delegate made it.
  MenuPopover* menuPopover() { return copy_ ? copy_->surfaces.menuPopover() : nullptr; }
  SettingsWindowController* settingsWindow() {
    return copy_ ? copy_->surfaces.settingsWindow() : nullptr;
  }
  NotchLabel* notchLabel() { return copy_ ? copy_->surfaces.notchLabel() : nullptr; }
  // The running copy's overlay over Mission Control, or null.
  MissionControlOverlay* missionControlOverlay() {
    return copy_ ? copy_->surfaces.missionControlOverlay() : nullptr;
  }

 private:
  struct Command;
  static const std::vector<Command>& commands();
  // One running copy of Velmora: a process with its own notification centre and surfaces.
  struct Copy {
    explicit Copy(SurfaceRecord& record) : surfaces(record) {}
    platform::pid_t pid = 0;
    NotificationCenter center;
    RecordedSurfaceKit surfaces;
    std::unique_ptr<VelmoraApp> app;
    std::vector<ObserverToken> observers;
    std::vector<Connection> connections;
  };
  enum class Ending { politely, abruptly };

  std::string masked(const std::string& line) const;
  void emit(const std::string& line);   // an event, stamped with the time
  void print(const std::string& line);  // the answer to a print command
  void printLines(const std::string& text);
  std::string stampNow() const;
  void settle();
  Status fail(const std::string& message);

  // Starts a copy as a new process (the first one as the machine's own), from `bundlePath`
  // when given. A copy already running stays until the new one retires it.
  void startCopy(std::optional<std::string> bundlePath = std::nullopt);
  // Ends the copy with this pid; the machine marks the process terminated.
  void endCopy(platform::pid_t pid, Ending ending);
  void noteNotification(const std::string& what);

  Status advance(std::string_view args);
  Status press(std::string_view args);
  Status set(std::string_view args);
  Status nameDesktop(std::string_view args);
  Status editDesktop(std::string_view args);
  Status chooseFile(std::string_view path);
  Status click(std::string_view args);
  Status type(std::string_view text);
  // `click X Y` and `click panel NAME`; `pointer X Y` and `pointer panel NAME`.
  Status clickAt(std::string_view args, bool onPanel);
  Status scrollAt(std::string_view args, bool onPanel);
  Status clickSettings(std::string_view what);
  Status swipe(std::string_view direction);
  Status printMissionControlMachine();
  Status pointAt(std::string_view args, bool onPanel);
  Status menuChoose(std::string_view title);
  Status screenshot(std::string_view args);
  Status openURLs(std::string_view args);
  Status openWindow(std::string_view args);
  Status addDisplay(std::string_view args);
  Status badge(std::string_view args);
  Status runFromDiskImage();
  Status holdCombination(std::string_view args, bool hold);
  Status ignoreSwitchCalls(std::string_view args);
  Status accessibilityTimesOut(std::string_view app, bool timesOut);
  Status printDesktops();
  Status printLog(std::string_view args);
  Status printTime();
  Status printHotkeys();
  Status printWindows();
  Status printMenuBar();
  Status printMenu();
  Status printPanels();
  Status printEditor();
  Status printFirstRun();
  Status clickFirstRun(std::string_view which);
  Status printSwitcher();
  Status printMissionControl();
  Status printNotch();
  Status printHoverStrip();
  Status pointerToTopEdge(std::string_view args);
  Status clickStripApp(std::string_view args);
  Status printPopover();
  Status clickPopover(std::string_view args);
  Status printNotifications();
  Status printTimers();
  // The updater: the site, the checks and installs, and what can go wrong on the way.
  Status publishUpdate(std::string_view version);
  Status updateFault(std::string_view name);
  Status waitForUpdate();
  Status printUpdate();
  // Notes what the running copy's updater changed since it was last looked at.
  void noteUpdateState();
  // Whether the running copy's updater has network or install work in flight.
  bool updaterBusy();
  Status expect(std::string_view args);
  Status exportTime();
  // The settings window's pages.
  SettingsModel* settingsModel();
  Status settingsPage(std::string_view args);
  Status printSettings();
  Result<SettingsControl> settingsControl(std::string_view id,
                                          std::initializer_list<ControlKind> kinds,
                                          std::string_view verb);
  Status settingsAct(std::string_view verb, std::string_view args);
  Status printPasteboard(std::string_view args);
  Status answerSavePanel(std::string_view path);
  Status printSavePanel();
  Status resetTime();
  Status printFile(std::string_view path);

  // A path as a script writes it: "~/…" or relative lies in the machine's home folder.
  std::filesystem::path homePath(std::string_view text) const;
  // A path as the output shows it: "~/…" inside the home folder, so runs print the same.
  std::string shownPath(const std::filesystem::path& path) const;

  Result<Desktop> desktopArg(std::string_view text);
  std::optional<platform::pid_t> appArg(std::string_view name);
  std::optional<std::uint64_t> spaceOfDesktop(std::string_view text) const;
  // A point on the screen as a script writes it: "X Y" in drawing coordinates, or (onPanel)
  // "NAME [ROW]", the centre of the panel on screen by that name (quoted when it has spaces).
  Result<ScreenPoint> screenPointArg(std::string_view args, bool onPanel);
  // A key combination as a script writes it: the key code and the event flags.
  Result<std::pair<std::uint16_t, std::uint64_t>> parseCombo(std::string_view text);

  QueuedLoop& loop_;
  VirtualLoop* virtualLoop_;
  std::ostream& out_;
  double startedAt_;
  linuxhost::DrawingHost host_;  // the command line draws: screenshots, measured tiles
  sim::VirtualMac mac_;
  SurfaceRecord record_;
  // The update site on the loopback interface, and how its next image is made.
  std::unique_ptr<UpdateServer> updateSite_;
  sim::ImageRecipe updateRecipe_;
  std::string publishedVersion_;
  // What was last noted of the running copy's updater.
  std::string updateStateNoted_;
  std::unique_ptr<LineLog> systemLog_;
  // Every notification Velmora posted or received, stamped.
  std::vector<std::string> notifications_;
  bool everStarted_ = false;
  bool quit_ = false;
  // What the last command other than `expect` (and the time it let pass) printed.
  std::vector<std::string> recent_;
  int failedExpectations_ = 0;
  // Declared last, so they go first: a copy's objects never outlive what they were given.
  std::unique_ptr<Copy> copy_;
  // Copies still running after a newer one started, until it retires them.
  std::vector<std::unique_ptr<Copy>> retiring_;
};

}  // namespace velmora::cli
