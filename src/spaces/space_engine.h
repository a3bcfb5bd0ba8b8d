#pragma once
// The single source of truth about desktops. The engine reads the layout from the window
// server, numbers the user's desktops across all displays as the system does, knows the
// current desktop of every display, and announces switches and layout changes. Every
// request to land somewhere goes through switchTo.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/main_loop.h"
#include "core/notification_center.h"
#include "core/signal.h"
#include "platform/platform.h"
#include "spaces/desktop.h"
#include "spaces/engine_services.h"
#include "spaces/skylight.h"

namespace velmora {

class SpaceEngine {
 public:
  using SwitchCallback =
      std::function<void(const std::string& displayUUID, const std::optional<Desktop>& from,
                         const std::optional<Desktop>& to)>;
  using AppsMap = std::map<SpaceID, std::vector<SpaceApp>>;

  // Reads the layout once, quietly, so everything is filled before anyone observes it.
  SpaceEngine(const platform::Platform& platform, NotificationCenter& center,
              EngineServices services);
  ~SpaceEngine();
  SpaceEngine(const SpaceEngine&) = delete;
  SpaceEngine& operator=(const SpaceEngine&) = delete;

  // Starts listening to the workspace and the screens, and the 1.5-second sweep.
  void start();

  // ---- Observable state ----
  Signal& changed() { return changed_; }
  const std::vector<SkyLight::Display>& displays() const { return displays_; }
  const std::vector<Desktop>& desktops() const { return desktops_; }
  std::optional<SpaceID> lastDesktopID() const { return lastDesktopID_; }

  // Called once per display whose current desktop changed (the switch tag's cue).
  void setOnSwitch(SwitchCallback onSwitch) { onSwitch_ = std::move(onSwitch); }
  // What carries out every landing; non-owning, set once by whoever owns both.
  void setSwitcher(DesktopSwitching& switcher) { switcher_ = &switcher; }

  // Desktops a multi-step switch passes through: never announced, never remembered. The
  // switcher marks them while it walks and clears them when the walk ends.
  void setTransitSpaceIDs(std::set<SpaceID> ids) { transitSpaceIDs_ = std::move(ids); }
  void landingIsReal(SpaceID id) { transitSpaceIDs_.erase(id); }
  const std::set<SpaceID>& transitSpaceIDs() const { return transitSpaceIDs_; }

  // ---- Reading ----
  void refresh(bool quiet);
  void environmentChanged();
  std::optional<Desktop> desktopWithID(SpaceID id) const;
  std::optional<Desktop> desktopWithNumber(int number) const;
  std::vector<Desktop> desktopsOnDisplay(const std::string& displayUUID) const;
  std::optional<SpaceID> currentSpaceIDForDisplay(const std::string& displayUUID) const;
  // The desktop the user is working on: the current one of the display with the active
  // menu bar, else the first desktop flagged current.
  std::optional<Desktop> currentDesktop();
  // Where jump back goes: the desktop before the latest switch, never the current one.
  std::optional<Desktop> lastDesktop();
  bool refreshPending() const { return refreshPending_; }

  // ---- Applications per desktop ----
  std::vector<SpaceApp> apps(const Desktop& desktop) const;
  void refreshApps(bool force);
  // Fixed apps for the developer tools; while set the live scan and badge polls are off.
  void setSampleApps(std::optional<AppsMap> sample);

  // ---- Moving ----
  void switchTo(const Desktop& desktop, std::string reason,
                std::function<void(bool landed)> completion = nullptr);
  void open(const SpaceApp& app, const Desktop& desktop, std::string reason,
            std::function<void(bool landed)> completion = nullptr);
  void jumpBack();
  void step(int delta);
  bool moveFrontWindow(const std::optional<platform::RunningApplication>& app,
                       const Desktop& desktop, bool follow);

  // ---- Announcements from elsewhere ----
  void metaChanged();
  void badgesChanged();

  // ---- Time and badges, driven by the sweep ----
  void sampleTime();
  void flushTime();
  void pollBadges();

  SkyLight& skyLight() { return skyLight_; }
  const platform::Platform& platform() const { return platform_; }

 private:
  struct SwitchRecord {
    std::string displayUUID;
    std::optional<Desktop> from;
    Desktop to;
  };

  void scheduleRefresh();
  // One time sample credited to `desktop` (none: nothing is credited).
  void creditTime(const std::optional<Desktop>& desktop);
  void sweepTick();
  std::string badgeSignature() const;
  double idleSeconds(std::initializer_list<std::uint32_t> eventTypes);
  void log(const std::string& line);
  const EngineSettings& settings() const;

  platform::Platform platform_;
  NotificationCenter& center_;
  EngineServices services_;
  FixedEngineSettings defaultSettings_;
  MemoryTimeLedger defaultLedger_;
  SkyLight skyLight_;
  Signal changed_;

  std::vector<SkyLight::Display> displays_;
  std::vector<Desktop> desktops_;
  std::optional<SpaceID> lastDesktopID_;
  // What jump back goes to should the user land on lastDesktopID_ without a new switch
  // (a full-screen space and back to the desktop it came from).
  std::optional<SpaceID> earlierDesktopID_;
  SwitchCallback onSwitch_;
  DesktopSwitching* switcher_ = nullptr;
  std::set<SpaceID> transitSpaceIDs_;
  // The display with the active menu bar as of the last refresh: clicking into another
  // display changes the user's current desktop without any space changing.
  std::optional<std::string> activeDisplay_;
  std::unique_ptr<RepeatingTimer> sweep_;
  std::map<std::string, SpaceID> currentPerDisplay_;
  bool refreshPending_ = false;
  AppsMap appsCache_;
  double appsCachedAt_;    // loop time; distant past until the first scan
  double lastTimeSample_;  // wall clock
  double lastTimeFlush_;   // wall clock
  double lastBadgePoll_;   // loop time; distant past until the first poll
  std::optional<AppsMap> sampleApps_;

  std::vector<ObserverToken> observers_;
  Lifetime lifetime_;
};

}  // namespace velmora
