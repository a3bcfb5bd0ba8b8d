#pragma once
// Running a system tool (Process): an executable with arguments, standard output to the null
// device, standard error collected through a pipe, waited for until it exits.

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

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  // Starts the executable and waits for it to exit. Main thread; blocks for the run time.
  virtual ProcessResult run(const std::string& executable,
                            const std::vector<std::string>& arguments) = 0;
};

}  // namespace velmora::platform
