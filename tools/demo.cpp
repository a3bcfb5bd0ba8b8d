// A short scripted session on the virtual Mac: a two-display world, a user moving between
// desktops, and Velmora's engine telling what it sees as it happens. It runs in virtual time,
// so the output is the same on every run; with --realtime the same session plays at the pace
// of the clock on the wall.
//
// Usage: velmora-demo [--realtime] [world.json]

#include <cstdio>
#include <string>

#include "core/notification_center.h"
#include "core/notifications.h"
#include "core/realtime_loop.h"
#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"
#include "platform/sim/world.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/log_file.h"
#include "store/settings.h"
#include "store/space_store.h"
#include "switching/direct_switcher.h"

namespace {

using namespace velmora;

// Writes each line to the real log file in the virtual home and shows it as it happens.
class PrintedLog final : public LineLog {
 public:
  PrintedLog(MainLoop& loop, LineLog& file, const char* name)
      : loop_(loop), file_(file), name_(name) {}
  void write(const std::string& line) override {
    file_.write(line);
    std::printf("[%7.3f]   %s: %s\n", loop_.now(), name_, line.c_str());
  }

 private:
  MainLoop& loop_;
  LineLog& file_;
  const char* name_;
};

// Start-up failures go to the system log; here that is the terminal.
class SystemLog final : public LineLog {
 public:
  void write(const std::string& line) override { std::fprintf(stderr, "%s\n", line.c_str()); }
};

void printDesktops(SpaceEngine& engine, const DesktopPresentation& show) {
  engine.refreshApps(true);
  for (const Desktop& d : engine.desktops()) {
    std::string apps;
    for (const SpaceApp& app : engine.apps(d)) apps += (apps.empty() ? "" : ", ") + app.name;
    std::printf("    %s %2d %-12s display %-38s space %-3llu %s\n", d.isCurrent ? "*" : " ",
                d.number, show.title(d).c_str(), d.space.displayUUID.c_str(),
                static_cast<unsigned long long>(d.id()), apps.c_str());
  }
}

// Runs the loop for a while: virtual time jumps, real time waits.
struct Clock {
  VirtualLoop* virtualLoop = nullptr;
  RealtimeLoop* realtimeLoop = nullptr;
  MainLoop& loop() { return virtualLoop ? static_cast<MainLoop&>(*virtualLoop) : *realtimeLoop; }
  void advance(double seconds) {
    if (virtualLoop) {
      virtualLoop->advance(seconds);
    } else {
      realtimeLoop->runFor(seconds);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  bool realtime = false;
  std::string worldPath = VELMORA_WORLDS_DIR "/two-displays.json";
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--realtime") {
      realtime = true;
    } else if (!arg.empty() && arg[0] == '-') {
      std::fprintf(stderr, "usage: velmora-demo [--realtime] [world.json]\n");
      return 2;
    } else {
      worldPath = arg;
    }
  }
  VirtualLoop virtualLoop;
  RealtimeLoop realtimeLoop;
  Clock clock;
  if (realtime) {
    clock.realtimeLoop = &realtimeLoop;
  } else {
    clock.virtualLoop = &virtualLoop;
  }
  MainLoop& loop = clock.loop();
  sim::VirtualMac mac(loop);
  sim::WorldLoadResult loaded = sim::loadWorldFile(mac, worldPath);
  if (!loaded.ok) {
    std::fprintf(stderr, "velmora-demo: %s\n", loaded.error.c_str());
    return 1;
  }

  platform::Platform platform = mac.platform();
  NotificationCenter center;
  SystemLog systemLog;
  Settings settings(platform.preferences);
  SpaceStore store(platform, center, systemLog);
  DesktopPresentation show(store, settings);
  Logs logs(platform.home, loop);
  PrintedLog log(loop, logs.switches(), "switches.log");
  SettingsEngineView engineSettings(settings);
  StoreTimeLedger ledger(store);
  EngineServices services;
  services.makeSwitcher =
      DirectSwitcher::factory(&log, [&show](const Desktop& d) { return show.title(d); });
  services.settings = &engineSettings;
  services.timeLedger = &ledger;
  services.switchesLog = &log;
  SpaceEngine engine(platform, center, std::move(services));
  auto label = [&show](const std::optional<Desktop>& d) {
    return d ? show.title(*d) : std::string("(none)");
  };
  engine.onSwitch = [&](const std::string& display, const std::optional<Desktop>& from,
                        const std::optional<Desktop>& to) {
    std::printf("[%7.3f]   onSwitch on %s: %s -> %s\n", loop.now(), display.c_str(),
                label(from).c_str(), label(to).c_str());
  };
  ObserverToken active = center.observe(notifications::kActiveSpaceDidChange, [&] {
    std::printf("[%7.3f] %s\n", loop.now(), notifications::kActiveSpaceDidChange);
  });
  ObserverToken spaces = center.observe(notifications::kSpacesDidChange, [&] {
    std::printf("[%7.3f] %s (%zu desktops)\n", loop.now(), notifications::kSpacesDidChange,
                engine.desktops().size());
  });
  engine.start();

  std::printf("Velmora demo on the virtual Mac (%s)\n", worldPath.c_str());
  std::printf("Home folder of this run: %s\n", platform.home.root.c_str());
  std::printf("Desktops at start (* = current on its display):\n");
  printDesktops(engine, show);

  auto step = [&](const char* what, auto action, double wait = 0.6) {
    std::printf("\n[%7.3f] -- %s\n", loop.now(), what);
    action();
    clock.advance(wait);
  };
  const auto& displays = mac.displays();
  const std::string builtIn = displays.at(0).uuid;
  const std::string external = displays.size() > 1 ? displays[1].uuid : builtIn;

  step("the user swipes to the next desktop on the built-in display",
       [&] { mac.userSwitchTo(displays.at(0).spaces.at(1).id); });
  step("the user moves to the external display and switches there", [&] {
    mac.setActiveMenuBarDisplay(external);
    mac.userSwitchTo(mac.display(external)->spaces.back().id);
  });
  step("the user opens the full-screen space on the built-in display", [&] {
    for (const sim::SimSpace& s : mac.display(builtIn)->spaces) {
      if (s.type == sim::kSpaceTypeFullScreen) mac.userSwitchTo(s.id);
    }
  });
  step("the user names Desktop 1 \"Mail\" and gives Desktop 2 an emoji", [&] {
    store.update(engine.desktopWithNumber(1)->space.managedID, [](SpaceMeta& m) {
      m.name = "Mail";
      m.color = TileColor::palette(3);
    });
    store.update(engine.desktopWithNumber(2)->space.managedID,
                 [](SpaceMeta& m) { m.icon = SpaceIcon::emoji("🎧 music"); });
  });
  step("Velmora switches to Desktop 1 (as a hotkey would)",
       [&] { engine.switchTo(*engine.desktopWithNumber(1), "hotkey"); });
  step("next desktop (wraps within the display)", [&] { engine.step(1); });
  step("jump back", [&] { engine.jumpBack(); });
  step("presentation mode hides the names (the menu bar would now say Desktop 1)", [&] {
    settings.setPresenting(true);
    std::printf("[%7.3f]   current desktop shows as \"%s\"\n", loop.now(),
                show.title(*engine.currentDesktop()).c_str());
  });
  step("a projector is attached",
       [&] { mac.userAttachDisplay("PROJECTOR-0001", ScreenRect::make(-1920, 0, 1920, 1080), 1); });
  step(
      "nothing happens for a while (sweeps every 1.5 s find no change)", [] {}, 4.5);

  settings.setPresenting(false);
  engine.flushTime();
  store.flushPendingWrite();
  std::printf("\nDesktops at the end:\n");
  printDesktops(engine, show);
  std::printf("Jump back would go to: %s\n", label(engine.lastDesktop()).c_str());
  std::printf("\nThe last lines of %s:\n%s", logs.switches().url().c_str(),
              logs.switches().tail(400).c_str());
  return 0;
}
