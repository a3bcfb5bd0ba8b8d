#pragma once
// Keeps the running copy current. About once a day it reads the update feed; on the user's
// word it downloads the announced image, refuses it unless its size, SHA-256 and signature
// are exactly right, swaps the new copy in and asks for a relaunch from there. The network
// and the mount/verify/swap run off the main thread; every change of state happens on the
// main loop, and every event is one line of the updates log.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/line_log.h"
#include "core/main_loop.h"
#include "core/result.h"
#include "core/signal.h"
#include "platform/platform.h"
#include "store/settings.h"
#include "updates/update_feed.h"

namespace velmora {

struct UpdatePhase {
  enum class Kind { idle, downloading, ready, failed, installing };
  Kind kind = Kind::idle;
  double fraction = 0;          // downloading: how much has arrived, 0 to 1
  std::filesystem::path image;  // ready: the verified image
  std::string sentence;         // failed: why
  bool operator==(const UpdatePhase&) const = default;
};

class Updates {
 public:
  // The team whose signature an installed copy must carry.
  static constexpr const char* kTeam = "Q7RZ2WD4LK";
  // Schedule: the first tick a minute after start, then hourly; a check only after 20 hours.
  static constexpr double kFirstTick = 60;
  static constexpr double kTickInterval = 3600;
  static constexpr double kTickTolerance = 600;
  static constexpr double kCheckEvery = 72000;
  static constexpr double kFeedTimeout = 15;
  static constexpr std::size_t kWritePiece = 65536;
  // A feed is a few hundred bytes; anything past this is not one.
  static constexpr std::size_t kLargestFeed = 1 << 20;

  // `feedEnvironment` is the value of VELMORA_UPDATE_FEED when it is set. The platform and
  // the settings must outlive this object; the destructor waits for work in flight.
  Updates(const platform::Platform& platform, Settings& settings, LineLog& log,
          std::optional<std::string> feedEnvironment);
  ~Updates();
  Updates(const Updates&) = delete;
  Updates& operator=(const Updates&) = delete;

  // Arms the schedule once; puts back a copy an interrupted swap left aside.
  void start();
  // One feed check: "already checking" at once when one is in flight, else "checking"; the
  // outcome arrives in lastOutcome().
  std::string check();
  // Fetches and verifies the image of the available version.
  void download();
  // Installs the image of a ready phase and asks for the relaunch.
  void install();
  // The available version is not offered again.
  void skip();
  // Opens the available version's notes in the browser.
  void showWhatsNew();

  // A new copy is in place at `bundlePath`: the delegate relaunches from it.
  void setOnInstalled(std::function<void(const std::string& bundlePath)> fn) {
    onInstalled_ = std::move(fn);
  }
  // Each check that finds a newer version, by version.
  void setOnAvailable(std::function<void(const std::string& version)> fn) {
    onAvailable_ = std::move(fn);
  }

  // ---- State ----
  const std::optional<updates::UpdateFeed>& available() const { return available_; }
  bool checking() const { return checking_; }
  const UpdatePhase& phase() const { return phase_; }
  std::optional<double> lastChecked() const { return lastChecked_; }
  const std::optional<std::string>& lastOutcome() const { return lastOutcome_; }
  const updates::FeedLocation& feed() const { return feed_; }
  bool scheduled() const { return timer_ != nullptr; }
  // The available version's release date as the user reads it.
  std::string releasedForDisplay() const;
  // Told after every change of state.
  Signal& changed() { return changed_; }
  // Blocks until the network and the installer have handed what they have to the main loop;
  // their results take effect on its next turn. For scripts, tests and orderly shutdown.
  void waitForWorkers();

 private:
  struct Download;
  void tick();
  void finishCheck(const platform::HttpResponse& response, const std::string& body, bool tooLarge);
  void finishDownload(std::shared_ptr<Download> job, const platform::HttpResponse& response);
  void failDownload(const std::string& version, const std::string& sentence);
  void finishInstall(const std::string& version, const std::filesystem::path& target,
                     const Result<void>& outcome);
  void setPhase(UpdatePhase phase);
  std::string currentVersion() const;

  platform::Platform platform_;
  Settings& settings_;
  LineLog& log_;
  updates::FeedLocation feed_;
  std::optional<updates::UpdateFeed> available_;
  bool checking_ = false;
  UpdatePhase phase_;
  std::optional<double> lastChecked_;
  std::optional<std::string> lastOutcome_;
  std::unique_ptr<RepeatingTimer> timer_;
  std::function<void(const std::string&)> onInstalled_;
  std::function<void(const std::string&)> onAvailable_;
  Signal changed_;
  Lifetime lifetime_;
  // Last: drained before anything else goes.
  std::unique_ptr<platform::WorkQueue> worker_;
};

// The installer's steps, off the main thread: mount the image, check what it holds and its
// signature, swap it in, detach. Exposed for the tests of each step.
Result<void> installFromImage(const platform::Platform& platform,
                              const std::filesystem::path& image,
                              const std::filesystem::path& target);
// The lower-case hexadecimal SHA-256 of a file, read in 1 MiB pieces; none when it cannot be
// read.
std::optional<std::string> sha256Of(const std::filesystem::path& file);
// Both signature checks of a bundle, with the sentence for each failure.
Result<void> checkSignature(platform::CodeSigning& signing, const std::filesystem::path& bundle);

}  // namespace velmora
