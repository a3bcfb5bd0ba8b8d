#include "app/relaunch.h"

namespace velmora {

std::string relaunchScript(platform::pid_t pid, std::string_view bundlePath) {
  std::string quoted = "\"";
  for (char c : bundlePath) {
    if (c == '"') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  return "while kill -0 " + std::to_string(pid) +
         " 2>/dev/null; do sleep 0.1; done; /usr/bin/open " + quoted;
}

bool relaunch(const platform::Platform& platform, std::string_view bundlePath,
              LineLog& switchesLog) {
  std::string script = relaunchScript(platform.workspace.currentProcessID(), bundlePath);
  platform::ProcessStart started =
      platform.processes.start(std::string(kRelaunchShell), {"-c", script});
  if (!started.launched) {
    switchesLog.write("relaunch failed: " + started.launchError);
    return false;
  }
  platform.application.terminate();
  return true;
}

}  // namespace velmora
