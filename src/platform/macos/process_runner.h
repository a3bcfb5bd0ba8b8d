#pragma once
// System tools run through NSTask.

#include "platform/process_runner.h"

namespace velmora::macos {

class MacProcessRunner final : public platform::ProcessRunner {
 public:
  // NSTask with standard output to the null device and standard error through an NSPipe:
  // launchAndReturnError:, the pipe read to its end, waitUntilExit, terminationStatus.
  platform::ProcessResult run(const std::string& executable,
                              const std::vector<std::string>& arguments) override;
  // NSTask launchAndReturnError:, not waited for.
  platform::ProcessStart start(const std::string& executable,
                               const std::vector<std::string>& arguments) override;
};

}  // namespace velmora::macos
