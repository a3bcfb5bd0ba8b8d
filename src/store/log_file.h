#pragma once
// Small append-only logs a user can send along with a problem report: switches and links,
// Mission Control timing, update steps. Each event is one line, "[2026-12-04T03:22:07Z] …",
// and each append opens and closes the file, so another process may read or delete the log
// at any time. Once a log grows past its cap it is cut back to its last half-cap characters.
// Logging never fails the caller: every file-system error is swallowed.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/line_log.h"
#include "core/main_loop.h"
#include "platform/home.h"

namespace velmora {

// A wall-clock time (seconds since 1970) as the line stamp: UTC, whole seconds, "Z" suffix.
std::string iso8601UTC(double secondsSince1970);

// Where the logs live: Library/Logs/Velmora under the home root. Computing it creates nothing.
std::filesystem::path logFolder(const platform::HomeFolder& home);

class LogFile final : public LineLog {
 public:
  // The cap of the product's logs: between 32000 and 64000 bytes of recent history.
  static constexpr std::int64_t kStandardLimit = 64000;
  // What tail() answers for a log that does not exist or does not read as UTF-8.
  static constexpr std::string_view kNoLog = "(no log yet)";

  // A log at `url`, stamped with `loop`'s wall clock. A `limit` of 0 or less means no cap.
  // Nothing is touched on disk until the first append.
  LogFile(std::filesystem::path url, const MainLoop& loop, std::int64_t limit = kStandardLimit);
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  const std::filesystem::path& url() const { return url_; }
  std::int64_t limit() const { return limit_; }

  // Writes one stamped line, first cutting the file back to its last limit / 2 characters
  // when it is larger than the cap. The folder is never created here.
  void append(std::string_view message);
  void write(const std::string& line) override { append(line); }

  // The last `maxCharacters` characters (grapheme clusters) of the log, or kNoLog.
  std::string tail(std::size_t maxCharacters) const;

  // Hears each message as it is appended, unstamped (the command line echoes the logs).
  void setOnAppend(std::function<void(std::string_view message)> fn) { onAppend_ = std::move(fn); }

 private:
  void trimIfOverLimit();

  std::function<void(std::string_view message)> onAppend_;
  std::filesystem::path url_;
  const MainLoop& loop_;
  std::int64_t limit_;
};

// The product's three logs, side by side in the log folder. The folder is created (with
// any missing parents) the first time one of them is used; a folder deleted after that makes
// appends fail silently until the next start, rather than reappearing behind the user's back.
class Logs {
 public:
  static constexpr std::string_view kSwitchesName = "switches.log";
  static constexpr std::string_view kMissionControlName = "mission-control.log";
  static constexpr std::string_view kUpdatesName = "updates.log";

  Logs(platform::HomeFolder home, const MainLoop& loop);
  Logs(const Logs&) = delete;
  Logs& operator=(const Logs&) = delete;
  ~Logs();

  // Switching, links, presentation mode, the system shortcuts, Accessibility repair, the
  // notch label and the menu bar tile.
  LogFile& switches() { return instance(switches_, kSwitchesName); }
  // The Mission Control overlay's report of every opening.
  LogFile& missionControl() { return instance(missionControl_, kMissionControlName); }
  // Update checks, downloads and installs, and the move to Applications.
  LogFile& updates() { return instance(updates_, kUpdatesName); }

  // The log folder, created the first time it is asked for (failure is ignored).
  const std::filesystem::path& folder();

 private:
  LogFile& instance(std::unique_ptr<LogFile>& slot, std::string_view name);

  platform::HomeFolder home_;
  const MainLoop& loop_;
  std::optional<std::filesystem::path> folder_;
  std::unique_ptr<LogFile> switches_;
  std::unique_ptr<LogFile> missionControl_;
  std::unique_ptr<LogFile> updates_;
};

}  // namespace velmora
