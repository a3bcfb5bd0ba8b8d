#include "platform/sim/virtual_processes.h"

#include <algorithm>
#include <filesystem>

namespace velmora::sim {

namespace {

constexpr const char* kKillall = "/usr/bin/killall";
constexpr const char* kTccutil = "/usr/bin/tccutil";

bool isDockTool(const std::string& executable) {
  return executable == kKillall || executable == VirtualDock::kActivateSettings;
}

std::string missing(const std::string& executable) {
  std::string name = std::filesystem::path(executable).filename().string();
  return "The file \u201C" + name + "\u201D doesn\u2019t exist.";
}

}  // namespace

void VirtualProcesses::failTccutil(int status, std::string standardError) {
  if (status == 0) {
    tccutilFailure_.reset();
  } else {
    tccutilFailure_.emplace(status, std::move(standardError));
  }
}

void VirtualProcesses::failLaunch(const std::string& executable,
                                  std::optional<std::string> description) {
  if (description) {
    launchFailures_[executable] = std::move(*description);
  } else {
    launchFailures_.erase(executable);
  }
}

platform::ProcessResult VirtualProcesses::run(const std::string& executable,
                                              const std::vector<std::string>& arguments) {
  machine_.countCall("Process.run");
  runs_.push_back(SimProcessRun{executable, arguments});
  if (auto failure = launchFailures_.find(executable); failure != launchFailures_.end()) {
    return {false, failure->second, 0, {}};
  }
  if (executable == kTccutil) return tccutil(arguments);
  if (isDockTool(executable)) {
    auto [status, error] = dockTool(executable, arguments);
    return {true, {}, status, error};
  }
  return {false, missing(executable), 0, {}};
}

platform::ProcessStart VirtualProcesses::start(const std::string& executable,
                                               const std::vector<std::string>& arguments) {
  machine_.countCall("Process.run");
  starts_.push_back(SimProcessRun{executable, arguments});
  if (auto failure = launchFailures_.find(executable); failure != launchFailures_.end()) {
    return {false, failure->second};
  }
  if (executable == "/bin/sh" || executable == kTccutil) return {true, {}};
  if (isDockTool(executable)) {
    machine_.loop().post(
        lifetime_.guard([this, executable, arguments] { dockTool(executable, arguments); }));
    return {true, {}};
  }
  return {false, missing(executable)};
}

// killall NAME…: only the Dock is known by name. activateSettings -u: the Dock reloads its
// preferences.
std::pair<int, std::string> VirtualProcesses::dockTool(const std::string& executable,
                                                       const std::vector<std::string>& arguments) {
  if (executable == VirtualDock::kActivateSettings) {
    if (std::find(arguments.begin(), arguments.end(), "-u") != arguments.end()) {
      dock_.reloadShortcuts();
    }
    return {0, {}};
  }
  bool dock = std::any_of(arguments.begin(), arguments.end(),
                          [](const std::string& a) { return a == "Dock"; });
  if (!dock) return {1, "No matching processes belonging to you were found\n"};
  dock_.restart();
  return {0, {}};
}

// tccutil reset SERVICE [BUNDLE_ID]: removes the grants of the service, for one bundle or all.
platform::ProcessResult VirtualProcesses::tccutil(const std::vector<std::string>& arguments) {
  if (tccutilFailure_) return {true, {}, tccutilFailure_->first, tccutilFailure_->second};
  if (arguments.size() < 2 || arguments.size() > 3 || arguments[0] != "reset") {
    return {true, {}, 64, "Usage: tccutil reset SERVICE [BUNDLE_ID]\n"};
  }
  if (arguments[1] != "Accessibility" && arguments[1] != "All") {
    return {true, {}, 1, "tccutil: Unknown service \"" + arguments[1] + "\"\n"};
  }
  const std::optional<std::string>& self = machine_.bundle.identifier;
  if (arguments.size() == 3) {
    bool known = std::any_of(machine_.apps.begin(), machine_.apps.end(),
                             [&](const SimApp& a) { return a.bundleIdentifier == arguments[2]; });
    if (!known && self != arguments[2]) {
      return {true, {}, 1, "tccutil: No such bundle identifier \"" + arguments[2] + "\"\n"};
    }
    // Only this process's grant is modelled.
    if (self != arguments[2]) return {true, {}, 0, {}};
  }
  machine_.ax().setTrusted(false);
  return {true, {}, 0, {}};
}

}  // namespace velmora::sim
