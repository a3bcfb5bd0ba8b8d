// The popover on a crowded Mac — 48 desktops over three displays, ten applications with a
// window on every one of them — run as the command line runs Velmora: from the click on the
// tile to the first frame of its content drawn at the Retina scale (the fresh read of the
// desktops and their applications, the layout, the system popover shown, one drawing).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "cli/session.h"
#include "core/virtual_loop.h"
#include "surfaces/menu_popover.h"

namespace {

using namespace velmora;

struct CrowdedMac {
  VirtualLoop loop;
  std::ostringstream out;
  cli::Session session{loop, &loop, out};

  CrowdedMac() {
    auto loaded = session.loadWorldFile(VELMORA_WORLDS_DIR "/three-by-sixteen.json");
    if (!loaded.ok()) {
      std::fprintf(stderr, "%s\n", loaded.error().c_str());
      std::abort();
    }
    sim::VirtualMac& mac = session.mac();
    std::vector<platform::pid_t> apps;
    for (const sim::SimApp& app : mac.apps()) {
      if (app.policy == platform::ActivationPolicy::Regular && app.name) apps.push_back(app.pid);
    }
    for (const sim::SimDisplay& display : mac.displays()) {
      for (const sim::SimSpace& space : display.spaces) {
        for (platform::pid_t pid : apps) {
          mac.addWindow(pid, {space.id}, AXRect::make(100, 100, 800, 600));
        }
      }
    }
    session.launch();
    session.execute("advance 8");  // past the first-run toast
  }
};

void BM_PopoverClickToFirstFrame(benchmark::State& state) {
  CrowdedMac crowded;
  platform::CanvasFactory& canvases = crowded.session.mac().platform().canvases;
  for (auto _ : state) {
    crowded.session.execute("click tile");
    MenuPopover* popover = crowded.session.menuPopover();
    if (!popover || !popover->isShown() || popover->view().rows().size() != 48) std::abort();
    const Size size = popover->view().size();
    auto canvas = canvases.makeCanvas(size, 2);
    popover->view().paint(*canvas, size);
    benchmark::ClobberMemory();
    state.PauseTiming();
    popover->closeNow();
    crowded.loop.runPending();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PopoverClickToFirstFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
