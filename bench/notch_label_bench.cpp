// The notch label on the two-display Mac, run as the command line runs Velmora: what one
// desktop change costs the label — its refresh (which desktop each notched screen shows, the
// fitting width with its text measured, the panel moved) and one drawing of the panel at the
// Retina scale — and, beside it for scale, what the whole application does on a desktop
// change (the engine's fresh read and every surface's reaction, the label's included).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "cli/session.h"
#include "core/virtual_loop.h"
#include "surfaces/notch_label.h"

namespace {

using namespace velmora;

struct NotchedMac {
  VirtualLoop loop;
  std::ostringstream out;
  cli::Session session{loop, &loop, out};
  NotchLabel* label = nullptr;
  std::uint64_t spaces[2] = {};

  NotchedMac() {
    auto loaded = session.loadWorldFile(VELMORA_WORLDS_DIR "/two-displays.json");
    if (!loaded.ok()) {
      std::fprintf(stderr, "%s\n", loaded.error().c_str());
      std::abort();
    }
    session.launch();
    session.execute("name 1 Mail & Calendar");
    session.execute("name 2 Design review — Figma, Keynote");
    session.execute("set notchEnabled true");
    session.execute("advance 8");  // past the first-run toast
    label = session.notchLabel();
    const sim::SimDisplay& builtIn = session.mac().displays().front();
    spaces[0] = builtIn.spaces.at(0).id;
    spaces[1] = builtIn.spaces.at(1).id;
    if (!label || !label->isVisible()) {
      std::fprintf(stderr, "the notch label is not showing\n");
      std::abort();
    }
  }

  void switchTo(int i) {
    session.mac().userSwitchTo(spaces[i]);
    session.app()->engine().refresh(true);
    // Every surface hears of the change, the label among them.
    loop.runPending();
  }
};

void BM_AppReactsToADesktopChange(benchmark::State& state) {
  NotchedMac mac;
  int i = 0;
  for (auto _ : state) mac.switchTo(i ^= 1);
}
BENCHMARK(BM_AppReactsToADesktopChange)->Unit(benchmark::kMicrosecond);

void BM_NotchLabelRedrawAfterADesktopChange(benchmark::State& state) {
  NotchedMac mac;
  platform::CanvasFactory& canvases = mac.session.mac().platform().canvases;
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    mac.switchTo(i ^= 1);
    state.ResumeTiming();
    mac.label->landed();
    const NotchLabel::Panel& p = mac.label->panels().begin()->second;
    const Size size = p.panel->frame().size;
    auto canvas = canvases.makeCanvas(size, 2);
    mac.label->draw(*canvas, size, p.state);
    benchmark::ClobberMemory();
  }
  if (!mac.label->isVisible()) std::abort();
}
BENCHMARK(BM_NotchLabelRedrawAfterADesktopChange)->Unit(benchmark::kMicrosecond);

}  // namespace
