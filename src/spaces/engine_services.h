#pragma once
// The narrow interfaces through which the space engine reaches its collaborators: the
// switcher that carries out every landing, the options it reads, the store that keeps the
// time totals, the Dock-badge reader and the switches log. The application wires the real
// ones; the simple implementations here serve tests, the demo and the developer tools.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ids.h"
#include "core/line_log.h"
#include "platform/workspace.h"
#include "spaces/desktop.h"
#include "store/settings.h"
#include "store/space_store.h"

namespace velmora {

class SpaceEngine;

// Lands on a desktop by whatever route it judges best and tells the caller whether it
// landed. Completions arrive on the main loop, possibly much later.
class DesktopSwitching {
 public:
  virtual ~DesktopSwitching() = default;
  virtual void switchTo(const Desktop& desktop, std::string reason,
                        std::function<void(bool landed)> completion) = 0;
};

// The options the engine reads each time it needs them.
class EngineSettings {
 public:
  virtual ~EngineSettings() = default;
  virtual bool badgesEnabled() const = 0;
  virtual bool trackTime() const = 0;
  virtual int idleMinutes() const = 0;
};

struct FixedEngineSettings final : EngineSettings {
  bool badges = true;
  bool track = true;
  int idle = 3;
  bool badgesEnabled() const override { return badges; }
  bool trackTime() const override { return track; }
  int idleMinutes() const override { return idle; }
};

// The options as the user set them.
class SettingsEngineView final : public EngineSettings {
 public:
  explicit SettingsEngineView(const Settings& settings) : settings_(settings) {}
  bool badgesEnabled() const override { return settings_.badgesEnabled(); }
  bool trackTime() const override { return settings_.trackTime(); }
  int idleMinutes() const override {
    return static_cast<int>(
        std::clamp<std::int64_t>(settings_.idleMinutes(), INT32_MIN, INT32_MAX));
  }

 private:
  const Settings& settings_;
};

// Where time totals per desktop go, keyed by the space's managedID.
class TimeLedger {
 public:
  virtual ~TimeLedger() = default;
  virtual void addSeconds(ManagedID managedID, double seconds) = 0;
  // Makes the totals durable soon (the store debounces its write).
  virtual void flushTime() = 0;
};

// Totals kept in memory only: for runs without a metadata store.
class MemoryTimeLedger final : public TimeLedger {
 public:
  void addSeconds(ManagedID managedID, double seconds) override { pending_[managedID] += seconds; }
  void flushTime() override {
    for (const auto& [id, s] : pending_) flushed_[id] += s;
    pending_.clear();
    ++flushes_;
  }
  // Seconds credited so far, flushed or not.
  double seconds(ManagedID managedID) const {
    auto p = pending_.find(managedID);
    auto f = flushed_.find(managedID);
    return (p == pending_.end() ? 0 : p->second) + (f == flushed_.end() ? 0 : f->second);
  }
  double flushedSeconds(ManagedID managedID) const {
    auto f = flushed_.find(managedID);
    return f == flushed_.end() ? 0 : f->second;
  }
  int flushes() const { return flushes_; }

 private:
  std::map<ManagedID, double> pending_;
  std::map<ManagedID, double> flushed_;
  int flushes_ = 0;
};

// Totals kept with the rest of the desktop's metadata.
class StoreTimeLedger final : public TimeLedger {
 public:
  explicit StoreTimeLedger(SpaceStore& store) : store_(store) {}
  void addSeconds(ManagedID managedID, double seconds) override {
    store_.addSeconds(managedID, seconds);
  }
  void flushTime() override { store_.flushTime(); }

 private:
  SpaceStore& store_;
};

// The Dock's badge texts per application, read in the background.
class BadgeReader {
 public:
  virtual ~BadgeReader() = default;
  virtual std::optional<std::string> badge(platform::pid_t pid) const = 0;
  virtual std::map<platform::pid_t, std::string> badges() const = 0;
  // How long the latest read took, in seconds.
  virtual double lastReadDuration() const = 0;
  virtual void requestRead() = 0;
};

struct EngineServices {
  EngineSettings* settings = nullptr;  // none: the defaults of FixedEngineSettings
  TimeLedger* timeLedger = nullptr;    // none: totals kept in memory by the engine
  BadgeReader* badgeReader = nullptr;  // none: no Dock badges are known
  LineLog* switchesLog = nullptr;      // none: log lines are dropped
};

}  // namespace velmora
