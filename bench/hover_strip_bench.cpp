// The hover strip on a crowded Mac — 48 desktops over three displays, ten applications with a
// window on every one of them — run as the command line runs Velmora:
// - a pointer movement while the strip is closed, the cost every mouse move of the whole
//   system pays while the strip is on: away from the top edge, and along the top edge with the
//   dwell timer already running;
// - the strip coming in: the fresh read of the desktops and their applications, the layout
//   across the screen, and one drawing of the panel at the Retina scale.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "cli/session.h"
#include "core/virtual_loop.h"
#include "crowded_mac.h"
#include "surfaces/hover_strip.h"

namespace {

using namespace velmora;

// The strip of a crowded Mac, watching the pointer.
HoverStrip& stripOf(bench::CrowdedMac& crowded) {
  HoverStrip* strip = crowded.session.hoverStrip();
  if (!strip || !strip->isStarted()) {
    std::fprintf(stderr, "the hover strip is not watching the pointer\n");
    std::abort();
  }
  return *strip;
}

void BM_HoverPointerMovedAway(benchmark::State& state) {
  bench::CrowdedMac crowded;
  HoverStrip& strip = stripOf(crowded);
  double x = 100;
  for (auto _ : state) {
    // On the third display (the last the lookup tries), well below its top.
    strip.pointerMoved({-1920 + x, 400});
    x = x > 1800 ? 100 : x + 1;
  }
  if (strip.isDwelling()) std::abort();
}
BENCHMARK(BM_HoverPointerMovedAway)->Unit(benchmark::kNanosecond);

void BM_HoverPointerMovedAlongTheTop(benchmark::State& state) {
  bench::CrowdedMac crowded;
  HoverStrip& strip = stripOf(crowded);
  double x = 700;
  for (auto _ : state) {
    strip.pointerMoved({x, 981});
    x = x > 800 ? 700 : x + 0.5;
  }
  if (!strip.isDwelling()) std::abort();
}
BENCHMARK(BM_HoverPointerMovedAlongTheTop)->Unit(benchmark::kNanosecond);

void BM_HoverStripOpensAndDraws(benchmark::State& state) {
  bench::CrowdedMac crowded;
  HoverStrip& strip = stripOf(crowded);
  platform::CanvasFactory& canvases = crowded.session.mac().platform().canvases;
  for (auto _ : state) {
    strip.showStrip(0);
    HoverPanel* panel = strip.panel();
    const Size size = panel->view().size();
    auto canvas = canvases.makeCanvas(size, 2);
    panel->view().paint(*canvas, size, crowded.loop.now());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_HoverStripOpensAndDraws)->Unit(benchmark::kMicrosecond);

}  // namespace
