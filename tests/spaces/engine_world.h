#pragma once
// A running engine on a virtual Mac, with everything it announces recorded in order.

#include <memory>
#include <string>
#include <vector>

#include "core/notification_center.h"
#include "core/notifications.h"
#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"
#include "spaces/space_engine.h"
#include "switching/desktop_switcher.h"

namespace velmora::testing {

// The engine's id of a space the virtual Mac numbers.
inline SpaceID sid(std::uint64_t raw) {
  return SpaceID(raw);
}
// Desktops made by EngineWorld::display carry managed ids far from their ids, as on a Mac, so
// time or names keyed by the wrong one go astray.
inline constexpr std::int64_t kManagedOffset = 7000;
inline ManagedID mid(std::uint64_t raw) {
  return ManagedID(kManagedOffset + static_cast<std::int64_t>(raw));
}

struct FakeBadgeReader final : BadgeReader {
  std::map<platform::pid_t, std::string> texts;
  double duration = 0.012;
  int reads = 0;
  std::optional<std::string> badge(platform::pid_t pid) const override {
    auto it = texts.find(pid);
    if (it == texts.end()) return std::nullopt;
    return it->second;
  }
  std::map<platform::pid_t, std::string> badges() const override { return texts; }
  double lastReadDuration() const override { return duration; }
  void requestRead() override { ++reads; }
};

class EngineWorld {
 public:
  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  NotificationCenter center;
  MemoryLog log;
  FixedEngineSettings settings;
  MemoryTimeLedger ledger;
  FakeBadgeReader badges;
  BadgeReader* badgeReader = &badges;  // the engine's; a test may hand it the real one
  std::unique_ptr<SpaceEngine> engine;
  std::unique_ptr<DesktopSwitcher> switcher;
  // "active", "spaces" for the two announcements, "switch <display> <from>-><to>" for onSwitch
  // (numbers of the desktops, "none" when absent).
  std::vector<std::string> events;

  // A display of `count` ordinary desktops; returns their ids.
  std::vector<std::uint64_t> display(const std::string& uuid, int count, double x = 0) {
    sim::SimDisplay& display = mac.addDisplay(uuid, ScreenRect::make(x, 0, 1512, 982));
    std::vector<std::uint64_t> ids{mac.currentSpace(uuid)};
    for (int i = 1; i < count; ++i) ids.push_back(mac.addSpace(uuid));
    for (sim::SimSpace& space : display.spaces) space.managedID = mid(space.id).raw();
    return ids;
  }

  SpaceEngine& makeEngine(bool start = true) {
    EngineServices services;
    services.settings = &settings;
    services.timeLedger = &ledger;
    services.badgeReader = badgeReader;
    services.switchesLog = &log;
    engine = std::make_unique<SpaceEngine>(mac.platform(), center, std::move(services));
    switcher =
        std::make_unique<DesktopSwitcher>(*engine, DesktopSwitcher::Dependencies{.log = &log});
    engine->setSwitcher(*switcher);
    engine->setOnSwitch([this](const std::string& display, const std::optional<Desktop>& from,
                               const std::optional<Desktop>& to) {
      auto n = [](const std::optional<Desktop>& d) {
        return d ? std::to_string(d->number) : std::string("none");
      };
      events.push_back("switch " + display + " " + n(from) + "->" + n(to));
    });
    tokens_.push_back(center.observe(notifications::kActiveSpaceDidChange,
                                     [this] { events.push_back("active"); }));
    tokens_.push_back(
        center.observe(notifications::kSpacesDidChange, [this] { events.push_back("spaces"); }));
    if (start) engine->start();
    return *engine;
  }

  std::vector<std::string> takeEvents() { return std::exchange(events, {}); }
  int layoutReads() const { return mac.callCount("SLSCopyManagedDisplaySpaces"); }

 private:
  std::vector<ObserverToken> tokens_;
};

}  // namespace velmora::testing
