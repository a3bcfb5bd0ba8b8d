#pragma once
// A running engine with the desktop switcher on a virtual Mac whose Dock acts on synthetic
// presses, and the user's options, desktop records and key names for what sits on top.
// Everything the engine announces, what was pressed (and when) and what every caller of a
// switch was told are recorded in order. The switcher takes the direct call until a test
// sets `trusted` (the Accessibility grant as the switcher sees it).

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/notification_center.h"
#include "core/notifications.h"
#include "core/virtual_loop.h"
#include "platform/key_codes.h"
#include "platform/linux/host_services.h"
#include "platform/sim/virtual_mac.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/settings.h"
#include "store/space_store.h"
#include "switching/desktop_switcher.h"
#include "switching/key_synth.h"
#include "switching/system_shortcuts.h"

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

// Passes synthetic key events on to the machine's keyboard, noting the time of each.
struct TimedKeyboard final : platform::KeyboardEvents {
  TimedKeyboard(MainLoop& loop, platform::KeyboardEvents& keyboard)
      : loop(loop), keyboard(keyboard) {}
  bool post(std::int32_t source, const platform::KeyboardEvent& event, std::uint32_t tap) override {
    if (event.keyDown) keyDowns.push_back({loop.now(), event.keyCode});
    return keyboard.post(source, event, tap);
  }
  MainLoop& loop;
  platform::KeyboardEvents& keyboard;
  std::vector<std::pair<double, std::uint16_t>> keyDowns;  // when each key went down
};

// What one caller of switchTo was told, and when.
struct Answer {
  std::vector<bool> results;
  double asked = 0, at = -1;
  // "landed after 0.25", "missed after 1.6", "landed, missed after …" or "nothing yet".
  std::string told() const {
    std::string out;
    for (bool landed : results)
      out += (out.empty() ? "" : ", ") + std::string(landed ? "landed" : "missed");
    return out.empty() ? "nothing yet" : out + " after " + std::to_string(at - asked).substr(0, 4);
  }
};

// A desktop made up by number and record, its space id far from its managed id so that a
// lookup by the wrong one finds nothing, for tests of what a desktop shows.
inline Desktop desktop(int number, ManagedID managedID) {
  return Desktop{SkyLight::Space{SpaceID(static_cast<std::uint64_t>(managedID.raw()) + 9000),
                                 managedID, 0, "A"},
                 number, false};
}

// The digit key of Switch to Desktop N.
inline std::uint16_t digitKey(int desktopNumber) {
  return *platform::keys::digitForDesktop(desktopNumber);
}

class EngineWorld {
 public:
  // Draws nothing: for the engine's logic.
  EngineWorld() = default;
  // Draws with `host`: for what the user sees.
  explicit EngineWorld(linuxhost::HostServices host) : mac(loop, host) {}

  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  NotificationCenter center;
  MemoryLog log;        // the switches log
  MemoryLog systemLog;  // what goes to the system's log
  FixedEngineSettings settings;
  MemoryTimeLedger ledger;
  FakeBadgeReader badges;
  BadgeReader* badgeReader = &badges;  // the engine's; a test may hand it the real one
  Settings options{mac.preferences()};
  SpaceStore store{mac.platform(), center, systemLog};
  DesktopPresentation presentation{store, options};
  KeyNames names{mac.platform().keyboardLayout};
  SystemShortcuts shortcuts{mac.preferences(), names, mac.processes(), &log};
  TimedKeyboard keyboard{loop, mac.keyboard()};
  KeySynth keys{keyboard};
  bool trusted = false;
  std::unique_ptr<SpaceEngine> engine;
  std::unique_ptr<DesktopSwitcher> switcher;
  // "active", "spaces" for the two announcements, "switch <display> <from>-><to>" for onSwitch
  // (numbers of the desktops, "none" when absent).
  std::vector<std::string> events;
  int missionControlPresses = 0;
  std::vector<std::shared_ptr<Answer>> answers;  // every request's, in order

  // A display of `count` ordinary desktops; returns their ids.
  std::vector<std::uint64_t> display(const std::string& uuid, int count, double x = 0) {
    sim::SimDisplay& display = mac.addDisplay(uuid, ScreenRect::make(x, 0, 1512, 982));
    std::vector<std::uint64_t> ids{mac.currentSpace(uuid)};
    for (int i = 1; i < count; ++i) ids.push_back(mac.addSpace(uuid));
    for (sim::SimSpace& space : display.spaces) space.managedID = mid(space.id).raw();
    return ids;
  }

  // Turns on Switch to Desktop N for these numbers (and off for the others) as System
  // Settings does: the preferences first, then the Dock told to reread them. Optionally the
  // move-right shortcut is turned off, or the Dock is left with what it knew.
  void enableDesktopShortcuts(const std::vector<int>& numbers, bool moveRight = true,
                              bool tellDock = true) {
    Value::Dictionary entries;
    for (int n : numbers) {
      Value keys =
          Value::array({65535, static_cast<int>(digitKey(n)), platform::kEventFlagControl});
      entries[std::to_string(117 + n)] = Value::dictionary(
          {{"enabled", true},
           {"value", Value::dictionary({{"parameters", keys}, {"type", "standard"}})}});
    }
    if (!moveRight) entries["81"] = Value::dictionary({{"enabled", false}});
    mac.preferences().setValue(SystemShortcuts::kDomain, SystemShortcuts::kKey, Value(entries));
    if (tellDock) mac.dock().reloadShortcuts();
  }
  static std::vector<int> upTo(int last) {
    std::vector<int> numbers;
    for (int n = 1; n <= last; ++n) numbers.push_back(n);
    return numbers;
  }

  SpaceEngine& makeEngine(bool start = true) {
    EngineServices services;
    services.settings = &settings;
    services.timeLedger = &ledger;
    services.badgeReader = badgeReader;
    services.switchesLog = &log;
    engine = std::make_unique<SpaceEngine>(mac.platform(), center, std::move(services));
    switcher = std::make_unique<DesktopSwitcher>(
        *engine, DesktopSwitcher::Dependencies{&options, [this] { return trusted; }, &shortcuts,
                                               &keys, &log});
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

  // The hook as the Mission Control overlay provides it: open Mission Control, press the
  // desktop's thumbnail, report. With `pressed` false it reports a press it could not make.
  void installMissionControl(bool pressed = true) {
    switcher->setPressInMissionControl([this, pressed](int number, std::function<void(bool)> done) {
      ++missionControlPresses;
      if (pressed) {
        mac.dock().openMissionControl();
        if (auto d = engine->desktopWithNumber(number)) mac.dock().pressThumbnail(d->id().raw());
      }
      done(pressed);
    });
  }

  std::shared_ptr<Answer> request(int number, const std::string& reason = "hotkey") {
    auto answer = answers.emplace_back(std::make_shared<Answer>());
    answer->asked = loop.now();
    engine->switchTo(*engine->desktopWithNumber(number), reason, [this, answer](bool landed) {
      answer->results.push_back(landed);
      answer->at = loop.now();
    });
    return answer;
  }

  // The user switches to a space, and a moment passes.
  void userSwitch(std::uint64_t space, double seconds = 0.1) {
    mac.userSwitchTo(space);
    loop.advance(seconds);
  }
  std::vector<std::string> takeEvents() { return std::exchange(events, {}); }
  // What was announced since the last look, then the numbers of the desktops, the current
  // one and the one jump back leads to: "spaces, active, switch A 2->3 | 1 2 3 | now 3 last 2".
  std::string story() {
    std::string out;
    for (const std::string& e : takeEvents()) out += (out.empty() ? "" : ", ") + e;
    out += " |";
    for (const Desktop& d : engine->desktops()) out += " " + std::to_string(d.number);
    auto n = [](const std::optional<Desktop>& d) { return d ? std::to_string(d->number) : "-"; };
    return out + " | now " + n(engine->currentDesktop()) + " last " + n(engine->lastDesktop());
  }
  int layoutReads() const { return mac.callCount("SLSCopyManagedDisplaySpaces"); }

 private:
  std::vector<ObserverToken> tokens_;
};

}  // namespace velmora::testing
