#pragma once
// Running a system tool (Process): an executable with arguments, standard output to the null
// device, standard error collected through a pipe, waited for until it exits; or started and
// left running on its own.

#include <string>
#include <vector>

namespace velmora::platform {

struct ProcessResult {
  // False when the process could not be started; `launchError` then holds the system's
  // description of why (NSError.localizedDescription).
  bool launched = false;
  std::string launchError;
  int exitStatus = 0;         // terminationStatus
  std::string standardError;  // the pipe's bytes as read, not decoded
};

struct ProcessStart {
  // False when the process could not be started; `launchError` then says why.
  bool launched = false;
  std::string launchError;
};

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  // Starts the executable and waits for it to exit. Main thread; blocks for the run time.
  virtual ProcessResult run(const std::string& executable,
                            const std::vector<std::string>& arguments) = 0;
  // Starts the executable (Process.run) and returns at once; the process outlives us.
  virtual ProcessStart start(const std::string& executable,
                             const std::vector<std::string>& arguments) = 0;
};

}  // namespace velmora::platform
