#pragma once
// The developer options of the velmora binary: each runs Velmora on a virtual Mac (the world
// given with --world, else the default one), does one thing and ends.
//
//   --selftest            a PASS or FAIL line per check of the machine; exit 1 on a failure
//   --capture DIR         a screenshot of every surface into DIR
//   --sample              the desktops as the sample data shows them
//   --render DIR          --capture with the sample data
//   --switch N            one switch to desktop N and the line it logs
//   --diagnose            the diagnostics text
//   --capture-world FILE  the machine as the seams see it, as a world file
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace velmora::cli {

struct DeveloperRequest {
  enum class Tool { selftest, capture, sample, render, switchTo, diagnose, captureWorld };
  Tool tool = Tool::selftest;
  std::filesystem::path path;  // the folder of --capture and --render, the file of --capture-world
  int desktop = 0;             // --switch
  std::optional<std::string> worldFile;  // --world
};

// The developer option among the arguments (and --world), or none when there is no such
// option; a malformed one fails with a sentence.
std::optional<Result<DeveloperRequest>> developerRequest(const std::vector<std::string>& args);

// Runs it. Answers the exit status: 0 done, 1 a check failed, 2 it could not run.
int runDeveloperTool(const DeveloperRequest& request, std::string_view defaultWorld,
                     const std::optional<std::filesystem::path>& home, std::ostream& out,
                     std::ostream& err);

}  // namespace velmora::cli
