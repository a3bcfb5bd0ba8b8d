#pragma once
// The badges the Dock shows on application icons (unread counts and the like), read through
// the Dock's accessibility tree on a worker thread, one read at a time, and published on the
// main loop as a map from process to badge text with "Velmora.badgesDidChange" when it
// changes. The space engine decides when to read and copies the texts to its apps.

#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/main_loop.h"
#include "core/notification_center.h"
#include "platform/platform.h"
#include "spaces/engine_services.h"

namespace velmora {

// A badge as the Dock's label gives it: trimmed; empty is no badge; a decimal integer stays
// as it is; anything else ("!", "New") becomes "•".
std::optional<std::string> normalizedBadge(std::string_view label);

// The badge of one desktop from its applications' badges: empty texts are ignored; none
// left, none; any text that is not a decimal integer, "•"; else the sum, "99+" above 99.
std::optional<std::string> desktopBadge(const std::vector<std::string>& badges);

// The Dock's badges of running applications as one read finds them: by the application's
// standardised bundle path and by the item's title.
struct DockBadgeRecords {
  std::map<std::string, std::string> byPath;
  std::map<std::string, std::string> byTitle;
  bool operator==(const DockBadgeRecords&) const = default;
};

// Reads the Dock's icon list. Touches nothing but the accessibility interface, so it may
// run on any thread. No Dock, no grant or an unexpected tree give fewer records, never a
// failure.
DockBadgeRecords readDockBadges(platform::Accessibility& ax, std::optional<platform::pid_t> dock);

// The standardised path of a URL's absolute string ("file:///Applications/Mail.app/" →
// "/Applications/Mail.app"), or none when the text is no URL.
std::optional<std::string> standardizedURLPath(std::string_view url);
// A file path with "//", "." and ".." resolved and no trailing "/".
std::string standardizedPath(std::string_view path);

class DockBadges final : public BadgeReader {
 public:
  // Seconds on a monotonic clock; called on the worker to time a read.
  using Stopwatch = std::function<double()>;

  // The platform must outlive this object: the destructor waits for a read in flight.
  DockBadges(const platform::Platform& platform, NotificationCenter& center,
             Stopwatch stopwatch = {});
  ~DockBadges() override = default;
  DockBadges(const DockBadges&) = delete;
  DockBadges& operator=(const DockBadges&) = delete;

  // ---- BadgeReader ----
  std::optional<std::string> badge(platform::pid_t pid) const override;
  std::map<platform::pid_t, std::string> badges() const override { return badges_; }
  double lastReadDuration() const override { return lastReadMilliseconds_ / 1000.0; }
  // Starts a read unless one is in flight or the process is not trusted.
  void requestRead() override;

  int lastReadMilliseconds() const { return lastReadMilliseconds_; }
  // Wall-clock seconds of the last completed read; -infinity before the first.
  double lastRead() const { return lastRead_; }
  bool reading() const { return reading_; }
  // Blocks until the worker has handed its read to the main loop, where it takes effect on
  // the next turn. For tests and orderly shutdown.
  void waitForWorker() { queue_->waitUntilIdle(); }

 private:
  void finish(const DockBadgeRecords& records, int milliseconds);
  std::map<platform::pid_t, std::string> match(const DockBadgeRecords& records);

  platform::Platform platform_;
  NotificationCenter& center_;
  Stopwatch stopwatch_;
  std::map<platform::pid_t, std::string> badges_;
  int lastReadMilliseconds_ = 0;
  double lastRead_ = -std::numeric_limits<double>::infinity();
  bool reading_ = false;
  Lifetime lifetime_;
  // Last: drained before anything else goes.
  std::unique_ptr<platform::WorkQueue> queue_;
};

}  // namespace velmora
