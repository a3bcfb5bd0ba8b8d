// One pass's worth of pills over Mission Control: 32 desktops on one display, handed to the
// panel's view as the overlay does up to 30 times a second.
// - unchanged: every pill's image comes from the cache and its layer stays where it is;
// - all changed: every title differs from the last pass, so all 32 images are drawn afresh
//   at the Retina scale.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "core/line_log.h"
#include "core/notification_center.h"
#include "core/virtual_loop.h"
#include "drawing/glyph.h"
#include "platform/linux/host_services.h"
#include "platform/sim/virtual_mac.h"
#include "spaces/presentation.h"
#include "store/space_store.h"
#include "surfaces/pills.h"

namespace {

using namespace velmora;

constexpr int kDesktops = 32;

struct PillMac {
  VirtualLoop loop;
  linuxhost::DrawingHost host;  // the pills are really drawn and their titles really measured
  sim::VirtualMac mac{loop, host.services()};
  NotificationCenter center;
  MemoryLog log;
  Settings settings{mac.preferences()};
  SpaceStore store{mac.platform(), center, log};
  DesktopPresentation presentation{store, settings};
  std::unique_ptr<PillsView> view;
  std::vector<Pill> pills;

  PillMac() {
    Glyph::setServices({&mac.symbols(), &mac.platform().images, &mac.canvases(), {}});
    view = std::make_unique<PillsView>(PillServices{.loop = loop,
                                                    .canvases = mac.canvases(),
                                                    .settings = settings,
                                                    .presentation = presentation});
    // Two rows of sixteen 90-point thumbnails, as a crowded bar lays them out.
    const ScreenRect bar = ScreenRect::make(0, 800, 1512, 182);
    for (int i = 0; i < kDesktops; ++i) {
      ManagedID managed(100 + i);
      Desktop d{SkyLight::Space{SpaceID(static_cast<std::uint64_t>(1000 + i)), managed, 0, "A"},
                i + 1, false};
      store.update(managed, [&](SpaceMeta& m) {
        m.name = "Project " + std::to_string(i + 1);
        if (i % 2 == 0) m.icon = SpaceIcon::symbol("house.fill");
      });
      pills.push_back(
          {ScreenRect::make(8 + (i % 16) * 94, 830 + (i / 16) * 70, 90, 50), bar, 62, d});
    }
  }
  void rename(int generation) {
    for (int i = 0; i < kDesktops; ++i) {
      store.update(pills[static_cast<std::size_t>(i)].desktop.space.managedID, [&](SpaceMeta& m) {
        m.name = "Project " + std::to_string(i + 1) + "." + std::to_string(generation);
      });
    }
  }
};

void BM_PillsShowUnchanged(benchmark::State& state) {
  PillMac m;
  m.view->show(m.pills, true, 2);
  for (auto _ : state) m.view->show(m.pills, true, 2);
  state.counters["renders"] = static_cast<double>(m.view->painter().renders());
}
BENCHMARK(BM_PillsShowUnchanged)->Unit(benchmark::kMicrosecond);

void BM_PillsShowAllChanged(benchmark::State& state) {
  PillMac m;
  int generation = 0;
  for (auto _ : state) {
    state.PauseTiming();
    m.rename(++generation);
    state.ResumeTiming();
    m.view->show(m.pills, true, 2);
  }
  state.counters["renders"] = static_cast<double>(m.view->painter().renders());
}
BENCHMARK(BM_PillsShowAllChanged)->Unit(benchmark::kMillisecond);

}  // namespace
