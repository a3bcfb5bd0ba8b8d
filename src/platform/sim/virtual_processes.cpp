#include "platform/sim/virtual_processes.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "platform/sim/signed_images.h"

namespace velmora::sim {

namespace {

constexpr const char* kKillall = "/usr/bin/killall";
constexpr const char* kTccutil = "/usr/bin/tccutil";
constexpr const char* kHdiutil = "/usr/bin/hdiutil";
constexpr const char* kDitto = "/usr/bin/ditto";

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
  {
    std::lock_guard lock(runsMutex_);
    runs_.push_back(SimProcessRun{executable, arguments});
    if (auto failure = launchFailures_.find(executable); failure != launchFailures_.end()) {
      return {false, failure->second, 0, {}};
    }
  }
  if (executable == kTccutil) return tccutil(arguments);
  if (executable == kHdiutil && disks_) return hdiutil(arguments);
  if (executable == kDitto && disks_) return ditto(arguments);
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
  if (executable == "/bin/sh" && arguments.size() == 2 && arguments[0] == "-c") {
    if (auto script = readRelaunchScript(arguments[1])) waitThenOpen(*script, 0);
    return {true, {}};
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

// The shell knows one script, the one Velmora starts to relaunch itself:
//   while kill -0 PID 2>/dev/null; do sleep SECONDS; done; /usr/bin/open "BUNDLE"
std::optional<VirtualProcesses::WaitThenOpen> VirtualProcesses::readRelaunchScript(
    const std::string& script) {
  auto numberAfter = [&](std::string_view word, auto& value) {
    std::size_t at = script.find(word);
    if (at == std::string::npos) return false;
    const char* begin = script.data() + at + word.size();
    auto [end, ec] = std::from_chars(begin, script.data() + script.size(), value);
    return ec == std::errc() && end != begin;
  };
  WaitThenOpen parsed;
  if (!numberAfter("kill -0 ", parsed.pid) || !numberAfter("sleep ", parsed.interval)) {
    return std::nullopt;
  }
  constexpr std::string_view kOpen = "/usr/bin/open \"";
  std::size_t at = script.find(kOpen);
  if (at == std::string::npos || parsed.interval <= 0) return std::nullopt;
  for (std::size_t i = at + kOpen.size(); i < script.size(); ++i) {
    if (script[i] == '"') return parsed;
    if (script[i] == '\\' && i + 1 < script.size()) ++i;
    parsed.bundlePath += script[i];
  }
  return std::nullopt;  // the quote never closes
}

void VirtualProcesses::waitThenOpen(const WaitThenOpen& script, double delay) {
  machine_.loop().after(delay, lifetime_.guard([this, script] {
    if (machine_.isRunning(script.pid)) {
      waitThenOpen(script, script.interval);
    } else {
      application_.openApplication(script.bundlePath);
    }
  }));
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

// attach -nobrowse -readonly -noautoopen -mountpoint MOUNT IMAGE: the image's items appear at
// the mount point, on a volume that reports itself read-only. detach MOUNT [-force]: they go.
platform::ProcessResult VirtualProcesses::hdiutil(const std::vector<std::string>& arguments) {
  auto has = [&](const std::string& word) {
    return std::find(arguments.begin(), arguments.end(), word) != arguments.end();
  };
  if (!arguments.empty() && arguments[0] == "attach") {
    auto mountFlag = std::find(arguments.begin(), arguments.end(), "-mountpoint");
    if (mountFlag == arguments.end() || mountFlag + 1 == arguments.end() || arguments.size() < 3 ||
        !has("-readonly")) {
      return {true, {}, 1, "hdiutil: attach: only read-only attaches at a mount point here\n"};
    }
    std::filesystem::path mountPoint = *(mountFlag + 1);
    std::filesystem::path image = arguments.back();
    if (!std::filesystem::is_regular_file(image)) {
      return {true, {}, 1, "hdiutil: attach failed - No such file or directory\n"};
    }
    if (auto unpacked = unpackImage(image, mountPoint); !unpacked) {
      std::error_code ignored;
      for (const auto& entry : std::filesystem::directory_iterator(mountPoint, ignored)) {
        std::filesystem::remove_all(entry.path(), ignored);
      }
      return {true, {}, 1, unpacked.error() + "\n"};
    }
    disks_->mountVolume(mountPoint, platform::VolumeFacts{true, false});
    return {true, {}, 0, {}};
  }
  if (arguments.size() >= 2 && arguments[0] == "detach") {
    std::filesystem::path mountPoint = arguments[1];
    if (!disks_->unmountVolume(mountPoint)) {
      return {true, {}, 1, "hdiutil: detach failed - No such file or directory\n"};
    }
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(mountPoint, ignored)) {
      std::filesystem::remove_all(entry.path(), ignored);
    }
    return {true, {}, 0, {}};
  }
  return {true, {}, 1, "hdiutil: unknown verb\n"};
}

platform::ProcessResult VirtualProcesses::ditto(const std::vector<std::string>& arguments) {
  if (arguments.size() != 2) return {true, {}, 1, "usage: ditto src dst\n"};
  if (auto copied = disks_->copyBundle(arguments[0], arguments[1]); !copied) {
    return {true, {}, 1, "ditto: " + copied.error() + "\n"};
  }
  return {true, {}, 0, {}};
}

}  // namespace velmora::sim
