#pragma once
// Starting Velmora again from a bundle: after an update, after the move to Applications, and
// once when the Accessibility grant arrives mid-run. A small shell script outlives this
// process, waits until it is gone and opens the bundle; then the application quits.

#include <string>
#include <string_view>

#include "core/line_log.h"
#include "platform/platform.h"

namespace velmora {

// The shell that runs the script, and the script for this process id and bundle path.
inline constexpr std::string_view kRelaunchShell = "/bin/sh";
std::string relaunchScript(platform::pid_t pid, std::string_view bundlePath);

// Starts the script and asks the application to terminate. When the shell cannot be started
// the switches log says why, nothing quits and the answer is false.
bool relaunch(const platform::Platform& platform, std::string_view bundlePath,
              LineLog& switchesLog);

}  // namespace velmora
