// The popover on a crowded Mac — 48 desktops over three displays, ten applications with a
// window on every one of them — run as the command line runs Velmora: from the click on the
// tile to the first frame of its content drawn at the Retina scale (the fresh read of the
// desktops and their applications, the layout, the system popover shown, one drawing).

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "crowded_mac.h"
#include "surfaces/menu_popover.h"

namespace {

using namespace velmora;

using bench::CrowdedMac;

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
