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
#include "surfaces/hover_strip.h"

namespace {

using namespace velmora;

struct CrowdedMac {
  VirtualLoop loop;
  std::ostringstream out;
  cli::Session session{loop, &loop, out};
  HoverStrip* strip = nullptr;

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
    strip = session.hoverStrip();
    if (!strip || !strip->isStarted()) {
      std::fprintf(stderr, "the hover strip is not watching the pointer\n");
      std::abort();
    }
  }
};

void BM_HoverPointerMovedAway(benchmark::State& state) {
  CrowdedMac crowded;
  double x = 100;
  for (auto _ : state) {
    // On the third display (the last the lookup tries), well below its top.
    crowded.strip->pointerMoved({-1920 + x, 400});
    x = x > 1800 ? 100 : x + 1;
  }
  if (crowded.strip->isDwelling()) std::abort();
}
BENCHMARK(BM_HoverPointerMovedAway)->Unit(benchmark::kNanosecond);

void BM_HoverPointerMovedAlongTheTop(benchmark::State& state) {
  CrowdedMac crowded;
  double x = 700;
  for (auto _ : state) {
    crowded.strip->pointerMoved({x, 981});
    x = x > 800 ? 700 : x + 0.5;
  }
  if (!crowded.strip->isDwelling()) std::abort();
}
BENCHMARK(BM_HoverPointerMovedAlongTheTop)->Unit(benchmark::kNanosecond);

void BM_HoverStripOpensAndDraws(benchmark::State& state) {
  CrowdedMac crowded;
  platform::CanvasFactory& canvases = crowded.session.mac().platform().canvases;
  for (auto _ : state) {
    crowded.strip->showStrip(0);
    HoverPanel* panel = crowded.strip->panel();
    const Size size = panel->view().size();
    auto canvas = canvases.makeCanvas(size, 2);
    panel->view().paint(*canvas, size, crowded.loop.now());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_HoverStripOpensAndDraws)->Unit(benchmark::kMicrosecond);

}  // namespace
