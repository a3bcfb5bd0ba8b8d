#pragma once
// The virtual Mac's command-line tools, as Velmora runs them (Process): "/usr/bin/tccutil"
// resets the Accessibility grant, "/usr/bin/killall Dock" restarts the Dock,
// activateSettings "-u" makes the Dock reload its shortcuts, and "/bin/sh" runs a relaunch
// script: it waits until the process is gone, then opens the bundle; "/usr/bin/hdiutil" attaches
// an image file read-only at a mount point and detaches it again, and "/usr/bin/ditto" copies a
// bundle, both on the virtual disks. Any other executable does not exist. Every run and start is
// recorded; runs may come from the updater's worker thread.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/main_loop.h"
#include "platform/process_runner.h"
#include "platform/sim/machine.h"
#include "platform/sim/virtual_application.h"
#include "platform/sim/virtual_disks.h"
#include "platform/sim/virtual_dock.h"

namespace velmora::sim {

struct SimProcessRun {
  std::string executable;
  std::vector<std::string> arguments;
  bool operator==(const SimProcessRun&) const = default;
};

class VirtualProcesses final : public platform::ProcessRunner {
 public:
  // A relaunch script opens its bundle through `application`.
  VirtualProcesses(Machine& machine, VirtualDock& dock, VirtualApplication& application)
      : machine_(machine), dock_(dock), application_(application) {}

  // hdiutil and ditto work on these disks.
  void setDisks(VirtualDisks* disks) { disks_ = disks; }

  // Every process run (waited for), in order.
  const std::vector<SimProcessRun>& runs() const { return runs_; }
  // Every process started without waiting (a relaunch script), in order.
  const std::vector<SimProcessRun>& starts() const { return starts_; }

  // ---- Misbehaviour ----
  // "/usr/bin/tccutil" exits with this status and standard-error text; status 0 makes it
  // work again.
  void failTccutil(int status, std::string standardError = {});
  // Starting the executable fails with this description; none lets it start again.
  void failLaunch(const std::string& executable, std::optional<std::string> description);

  // ---- platform::ProcessRunner ----
  platform::ProcessResult run(const std::string& executable,
                              const std::vector<std::string>& arguments) override;
  // A started killall or activateSettings acts on the next loop turn; a relaunch script
  // starts checking for its process on the next turn.
  platform::ProcessStart start(const std::string& executable,
                               const std::vector<std::string>& arguments) override;

 private:
  platform::ProcessResult tccutil(const std::vector<std::string>& arguments);
  platform::ProcessResult hdiutil(const std::vector<std::string>& arguments);
  platform::ProcessResult ditto(const std::vector<std::string>& arguments);
  // What the Dock's tools do, run or started: the exit status and standard error.
  std::pair<int, std::string> dockTool(const std::string& executable,
                                       const std::vector<std::string>& arguments);
  // What a relaunch script says: wait while `pid` lives, checking every `interval` seconds,
  // then open `bundlePath`.
  struct WaitThenOpen {
    pid_t pid = 0;
    double interval = 0.1;
    std::string bundlePath;
  };
  static std::optional<WaitThenOpen> readRelaunchScript(const std::string& script);
  void waitThenOpen(const WaitThenOpen& script, double delay);

  Machine& machine_;
  VirtualDock& dock_;
  VirtualApplication& application_;
  VirtualDisks* disks_ = nullptr;
  std::mutex runsMutex_;
  std::vector<SimProcessRun> runs_;
  std::vector<SimProcessRun> starts_;
  std::optional<std::pair<int, std::string>> tccutilFailure_;
  std::map<std::string, std::string> launchFailures_;
  Lifetime lifetime_;
};

}  // namespace velmora::sim
