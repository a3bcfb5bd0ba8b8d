// What the menu bar costs on every landing: the engine notices the new desktop and the tile
// redraws its look (tile image, title, tooltip, width) for it.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "core/line_log.h"
#include "core/notification_center.h"
#include "core/virtual_loop.h"
#include "drawing/glyph.h"
#include "platform/linux/host_services.h"
#include "platform/sim/virtual_mac.h"
#include "platform/sim/world.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/space_store.h"
#include "surfaces/status_bar_controller.h"
#include "switching/desktop_switcher.h"

namespace {

using namespace velmora;

struct NoCommands final : AppCommands {
  void openSettings(std::optional<SettingsPage>) override {}
  void openFirstRun() override {}
  void openMissionControl() override {}
  void toggleQuickSwitcher() override {}
  void togglePopoverFromNotch() override {}
  void togglePopover() override {}
  void closePopover() override {}
  void switchTo(const Desktop&) override {}
  void previewSwitchTag() override {}
  void showHoverStrip() override {}
  void previewNotchLabel() override {}
  void togglePresentation() override {}
  void editDesktop(const Desktop&) override {}
  void quit() override {}
};

struct TileWorld {
  VirtualLoop loop;
  linuxhost::DrawingHost host;  // the tile is really drawn and its title really measured
  sim::VirtualMac mac{loop, host.services()};
  NotificationCenter center;
  MemoryLog log;
  Settings settings{mac.preferences()};
  std::unique_ptr<SpaceStore> store;
  std::unique_ptr<DesktopPresentation> presentation;
  KeyNames keyNames{mac.platform().keyboardLayout};
  NoCommands commands;
  std::unique_ptr<SpaceEngine> engine;
  std::unique_ptr<DesktopSwitcher> switcher;
  std::unique_ptr<StatusBarController> tile;

  TileWorld() {
    auto loaded = sim::loadWorldFile(mac, VELMORA_WORLDS_DIR "/two-displays.json");
    if (!loaded) {
      std::fprintf(stderr, "%s\n", loaded.error().c_str());
      std::abort();
    }
    store = std::make_unique<SpaceStore>(mac.platform(), center, log);
    presentation = std::make_unique<DesktopPresentation>(*store, settings);
    Glyph::setServices({&mac.symbols(), &mac.platform().images, &mac.canvases(), {}});
    engine = std::make_unique<SpaceEngine>(mac.platform(), center, EngineServices{});
    switcher = std::make_unique<DesktopSwitcher>(*engine, DesktopSwitcher::Dependencies{});
    engine->setSwitcher(*switcher);
    engine->refresh(true);
    tile = std::make_unique<StatusBarController>(StatusBarServices{
        mac.platform(), center, *engine, settings, *presentation, keyNames, log, commands});
    loop.runPending();
  }
};

// One landing, alternating between two named desktops: the engine's refresh that notices it
// and the tile's redraw (its tiles come from the cache after the first round).
void BM_MenuBarPerDesktopChange(benchmark::State& state) {
  TileWorld world;
  const auto& display = world.mac.displays().front();
  std::uint64_t a = display.spaces[0].id, b = display.spaces[1].id;
  world.store->update(ManagedID(display.spaces[0].managedID),
                      [](SpaceMeta& m) { m.name = "Mail"; });
  world.store->update(ManagedID(display.spaces[1].managedID),
                      [](SpaceMeta& m) { m.name = "Deep Work"; });
  bool flip = false;
  for (auto _ : state) {
    world.mac.userSwitchTo(flip ? a : b);
    flip = !flip;
    world.engine->refresh(false);
  }
  state.counters["title"] = static_cast<double>(world.mac.menuBar().item()->title().size());
}
BENCHMARK(BM_MenuBarPerDesktopChange)->Unit(benchmark::kMicrosecond);

// The tile's redraw alone after a change of look (a new name each time, so never skipped).
void BM_MenuBarRedrawNewLook(benchmark::State& state) {
  TileWorld world;
  ManagedID managed(world.mac.displays().front().spaces[0].managedID);
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    world.store->update(managed, [&](SpaceMeta& m) { m.name = "Desk " + std::to_string(++n); });
    state.ResumeTiming();
    world.tile->refresh();
  }
}
BENCHMARK(BM_MenuBarRedrawNewLook)->Unit(benchmark::kMicrosecond);

}  // namespace
