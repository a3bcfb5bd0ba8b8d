#pragma once
// An engine with the desktop switcher on a virtual Mac whose Dock acts on the synthetic
// presses, with what the engine announces, what was pressed (and when) and what every
// caller was told recorded in order.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/notification_center.h"
#include "core/notifications.h"
#include "core/virtual_loop.h"
#include "platform/key_codes.h"
#include "platform/sim/virtual_mac.h"
#include "spaces/space_engine.h"
#include "store/hotkey.h"
#include "store/settings.h"
#include "switching/desktop_switcher.h"
#include "switching/key_synth.h"
#include "switching/system_shortcuts.h"

namespace velmora::testing {

// Passes synthetic key events on to the machine's keyboard, noting the time of each.
class TimedKeyboard final : public platform::KeyboardEvents {
 public:
  TimedKeyboard(MainLoop& loop, platform::KeyboardEvents& keyboard)
      : loop_(loop), keyboard_(keyboard) {}
  bool post(std::int32_t source, const platform::KeyboardEvent& event, std::uint32_t tap) override {
    if (event.keyDown) keyDowns.push_back({loop_.now(), event.keyCode});
    return keyboard_.post(source, event, tap);
  }
  // Times at which the key went down.
  std::vector<double> downs(std::uint16_t keyCode) const {
    std::vector<double> times;
    for (const auto& [at, code] : keyDowns) {
      if (code == keyCode) times.push_back(at);
    }
    return times;
  }
  std::vector<std::pair<double, std::uint16_t>> keyDowns;

 private:
  MainLoop& loop_;
  platform::KeyboardEvents& keyboard_;
};

// What one caller of switchTo was told, and when.
struct Answer {
  std::vector<bool> results;
  double at = -1;
};

// The digit key of Switch to Desktop N.
inline std::uint16_t digitKey(int desktopNumber) {
  return *platform::keys::digitForDesktop(desktopNumber);
}

class SwitcherWorld {
 public:
  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  NotificationCenter center;
  MemoryLog log;
  Settings settings{mac.preferences()};
  KeyNames names{mac.platform().keyboardLayout};
  SystemShortcuts shortcuts{mac.preferences(), names, mac.processes(), &log};
  TimedKeyboard keyboard{loop, mac.keyboard()};
  KeySynth keys{keyboard};
  bool trusted = true;
  std::unique_ptr<SpaceEngine> engine;
  std::unique_ptr<DesktopSwitcher> desktopSwitcher;
  // "active" for the announcement, "switch <from>-><to>" (desktop numbers) for onSwitch.
  std::vector<std::string> events;
  int missionControlPresses = 0;

  // The main display with `count` desktops; returns their ids.
  std::vector<std::uint64_t> display(const std::string& uuid, int count, double x = 0) {
    mac.addDisplay(uuid, ScreenRect::make(x, 0, 1512, 982));
    std::vector<std::uint64_t> ids{mac.currentSpace(uuid)};
    for (int i = 1; i < count; ++i) ids.push_back(mac.addSpace(uuid));
    return ids;
  }

  // Turns on Switch to Desktop N for these numbers (and off for the others) as System
  // Settings does: the preferences first, then the Dock told to reread them. Optionally the
  // move-right shortcut is turned off, or the Dock is left with what it knew.
  void enableDesktopShortcuts(const std::vector<int>& numbers, bool moveRight = true,
                              bool tellDock = true) {
    Value::Dictionary entries;
    for (int n : numbers) {
      Value keys = Value::array({65535, static_cast<int>(digitKey(n)), 0x40000});
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

  SpaceEngine& makeEngine() {
    DesktopSwitcher::Dependencies deps;
    deps.settings = &settings;
    deps.trusted = [this] { return trusted; };
    deps.shortcuts = &shortcuts;
    deps.keys = &keys;
    deps.log = &log;
    EngineServices services;
    services.switchesLog = &log;
    engine = std::make_unique<SpaceEngine>(mac.platform(), center, std::move(services));
    desktopSwitcher = std::make_unique<DesktopSwitcher>(*engine, deps);
    engine->setSwitcher(*desktopSwitcher);
    engine->setOnSwitch([this](const std::string&, const std::optional<Desktop>& from,
                               const std::optional<Desktop>& to) {
      auto n = [](const std::optional<Desktop>& d) {
        return d ? std::to_string(d->number) : std::string("none");
      };
      events.push_back("switch " + n(from) + "->" + n(to));
    });
    token_ = center.observe(notifications::kActiveSpaceDidChange,
                            [this] { events.push_back("active"); });
    engine->start();
    return *engine;
  }

  DesktopSwitcher& switcher() { return *desktopSwitcher; }

  // The hook as the Mission Control overlay provides it: open Mission Control, press the
  // desktop's thumbnail, report. With `pressed` false it reports a press it could not make.
  void installMissionControl(bool pressed = true) {
    switcher().setPressInMissionControl(
        [this, pressed](int number, std::function<void(bool)> done) {
          ++missionControlPresses;
          if (pressed) {
            mac.dock().openMissionControl();
            if (auto d = engine->desktopWithNumber(number))
              mac.dock().pressThumbnail(d->id().raw());
          }
          done(pressed);
        });
  }

  std::shared_ptr<Answer> request(int number, const std::string& reason = "hotkey") {
    auto answer = std::make_shared<Answer>();
    engine->switchTo(*engine->desktopWithNumber(number), reason, [this, answer](bool landed) {
      answer->results.push_back(landed);
      answer->at = loop.now();
    });
    return answer;
  }

  std::uint64_t currentOf(const std::string& uuid) const { return mac.currentSpace(uuid); }
  std::vector<std::string> takeEvents() { return std::exchange(events, {}); }

 private:
  ObserverToken token_;
};

}  // namespace velmora::testing
