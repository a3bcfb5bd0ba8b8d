// The switcher's landing poll: every 50 ms while a switch is on its way it refreshes the
// engine and reads the target display's current space, so its cost bounds what a switch
// adds to the main thread.

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

void BM_SwitchPoll(benchmark::State& state) {
  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  NotificationCenter center;
  auto loaded = sim::loadWorldFile(mac, VELMORA_WORLDS_DIR "/three-by-sixteen.json");
  if (!loaded) {
    std::fprintf(stderr, "%s\n", loaded.error().c_str());
    std::abort();
  }
  SpaceEngine engine(mac.platform(), center, EngineServices{});
  DesktopSwitcher switcher(engine, {});  // the direct route only
  engine.setSwitcher(switcher);
  // The window server ignores the call, so the switch keeps polling: each 50 ms step of the
  // loop is one poll. A new switch starts whenever one gives up (every 32 polls).
  mac.failSetCurrentSpace(1000);
  const Desktop target = engine.desktops()[1];
  std::int64_t switches = 0;
  for (auto _ : state) {
    if (!switcher.inFlight()) {
      engine.switchTo(target, "bench");
      ++switches;
    }
    loop.advance(0.05);
  }
  state.counters["desktops"] = static_cast<double>(engine.desktops().size());
  state.counters["switches"] = static_cast<double>(switches);
}
BENCHMARK(BM_SwitchPoll);

}  // namespace
