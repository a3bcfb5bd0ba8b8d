#pragma once
// One run of Velmora on the virtual Mac, driven by commands: what the user does (keys,
// links, naming desktops, adding displays), what time does, and what to print or expect.
// Scripts run in virtual time, so a script prints the same on every run; the interactive
// prompt runs the same commands on the wall clock. The language is described in
// docs/command-line.md.
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/velmora_app.h"
#include "cli/recorded_surfaces.h"
#include "core/line_log.h"
#include "core/main_loop.h"
#include "core/notification_center.h"
#include "core/virtual_loop.h"
#include "platform/linux/host_services.h"
#include "platform/sim/virtual_mac.h"

namespace velmora::cli {

class Session {
 public:
  enum class Status { ok, error, expectFailed, quit };

  // `virtualLoop` is the loop itself when time is virtual (scripts), else null (the wall
  // clock runs the loop). The home folder is `home` when given (it then stays after the run),
  // else a fresh temporary one.
  Session(MainLoop& loop, VirtualLoop* virtualLoop, std::ostream& out,
          std::optional<std::filesystem::path> home = std::nullopt);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Builds the world into the virtual Mac; one sentence on failure.
  std::optional<std::string> loadWorldFile(const std::string& path);
  std::optional<std::string> loadWorldText(std::string_view json);

  // Runs one command line. Errors are printed; a failed expectation is counted.
  Status execute(std::string_view line);
  // Starts Velmora if no command has yet (a script that only sets the machine up still
  // launches it), and lets the launch run.
  void launch();
  // Quits Velmora as the user would (time totals written) if it still runs.
  void quit();

  int failedExpectations() const { return failedExpectations_; }
  bool launched() const { return app_ != nullptr; }
  sim::VirtualMac& mac() { return mac_; }
  VelmoraApp* app() { return app_.get(); }

 private:
  struct Command;
  void emit(const std::string& line);   // an event, stamped with the time
  void print(const std::string& line);  // the answer to a print command
  void settle();
  Status fail(const std::string& message);

  Status advance(std::string_view args);
  Status press(std::string_view args);
  Status set(std::string_view args);
  Status nameDesktop(std::string_view args);
  Status editDesktop(std::string_view args);
  Status chooseFile(std::string_view args);
  Status click(std::string_view args);
  Status menuCommand(std::string_view args);
  Status screenshot(std::string_view args);
  // The print commands about what Velmora draws; false when `kind` is none of them.
  bool printDrawn(const std::string& kind, std::string_view more);
  Status add(std::string_view args);
  Status remove(std::string_view args);
  Status openWindow(std::string_view args);
  Status printCommand(std::string_view args);
  Status expect(std::string_view args);
  Status runFromDiskImage();

  std::optional<Desktop> desktopArg(std::string_view text, std::string& error);
  std::optional<platform::pid_t> appArg(std::string_view name);
  std::optional<std::uint64_t> spaceOfDesktop(std::string_view text) const;
  std::optional<std::pair<std::uint16_t, std::uint64_t>> parseCombo(std::string_view text,
                                                                    std::string& error);

  MainLoop& loop_;
  VirtualLoop* virtualLoop_;
  std::ostream& out_;
  double startedAt_;
  linuxhost::DrawingHost host_;  // the command line draws: screenshots, measured tiles
  sim::VirtualMac mac_;
  NotificationCenter center_;
  SurfaceRecord record_;
  RecordedSurfaceKit surfaces_;
  RecordedUpdates updates_;
  std::unique_ptr<LineLog> systemLog_;
  std::unique_ptr<VelmoraApp> app_;
  bool quit_ = false;
  // What the last command other than `expect` (and the time it let pass) printed.
  std::vector<std::string> recent_;
  int failedExpectations_ = 0;
  std::vector<ObserverToken> observers_;
};

}  // namespace velmora::cli
