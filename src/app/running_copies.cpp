#include "app/running_copies.h"

#include <string>

namespace velmora {

int retireOtherRunningCopies(const platform::Platform& platform, LineLog& switchesLog) {
  std::optional<std::string> identifier = platform.bundle.bundleIdentifier();
  if (!identifier) return 0;
  platform::pid_t self = platform.workspace.currentProcessID();
  int retired = 0;
  for (const platform::RunningApplication& app : platform.workspace.runningApplications()) {
    if (app.pid == self || app.bundleIdentifier != identifier) continue;
    switchesLog.write("retiring running copy pid " + std::to_string(app.pid) + " at " +
                      app.bundlePath.value_or(""));
    if (!platform.workspace.terminate(app.pid)) platform.workspace.forceTerminate(app.pid);
    ++retired;
  }
  return retired;
}

}  // namespace velmora
