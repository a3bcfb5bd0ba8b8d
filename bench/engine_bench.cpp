// The engine's hot paths. The sweep refreshes every 1.5 s for the life of the process, so a
// refresh that changes nothing must stay cheap, the window server's answer included.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "core/notification_center.h"
#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"
#include "platform/sim/world.h"
#include "spaces/space_engine.h"
#include "switching/desktop_switcher.h"

namespace {

using namespace velmora;

struct World {
  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  NotificationCenter center;
  std::unique_ptr<SpaceEngine> engine;
  std::unique_ptr<DesktopSwitcher> switcher;

  World() {
    auto loaded = sim::loadWorldFile(mac, VELMORA_WORLDS_DIR "/three-by-sixteen.json");
    if (!loaded) {
      std::fprintf(stderr, "%s\n", loaded.error().c_str());
      std::abort();
    }
    engine = std::make_unique<SpaceEngine>(mac.platform(), center, EngineServices{});
    switcher = std::make_unique<DesktopSwitcher>(*engine, DesktopSwitcher::Dependencies{});
    engine->setSwitcher(*switcher);
  }
};

void BM_RefreshWithoutChange(benchmark::State& state) {
  World world;
  for (auto _ : state) world.engine->refresh(false);
  state.counters["desktops"] = static_cast<double>(world.engine->desktops().size());
}
BENCHMARK(BM_RefreshWithoutChange);

void BM_AppsScan(benchmark::State& state) {
  World world;
  for (auto _ : state) world.engine->refreshApps(true);
  state.counters["windows"] = static_cast<double>(world.mac.windows().size());
}
BENCHMARK(BM_AppsScan);

}  // namespace

BENCHMARK_MAIN();
