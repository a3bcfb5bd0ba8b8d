// Mission Control's detector runs all day, so what it costs while nothing happens matters
// more than anything else it does: an idle minute with Mission Control closed should read no
// window list at all. While Mission Control is open the overlay reads the bar every pass, so
// the cached fast path against a full walk of the tree is the other number to watch.

#include <benchmark/benchmark.h>

#include <string>

#include "core/line_log.h"
#include "core/virtual_loop.h"
#include "mission_control/dock_access.h"
#include "mission_control/mission_control_detector.h"
#include "platform/sim/virtual_mac.h"

namespace {

using namespace velmora;

struct Machine {
  Machine() {
    mac.addDisplay("Main", ScreenRect::make(0, 0, 1512, 982));
    mac.addDisplay("Side", ScreenRect::make(1512, 0, 1920, 1080));
    mac.addSystemFurniture();
    mac.setAccessibilityTrusted(true);
  }
  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  MemoryLog log;
  MissionControlHost host = MissionControlHost::forVersion(26);
  DockAccess dock{mac.platform(), host, log, [] { return true; }};
};

// One virtual minute of an idle Mac with Mission Control closed and the poll running.
void BM_DetectorIdleMinute(benchmark::State& state) {
  Machine m;
  MissionControlDetector detector(m.mac.platform(), m.host, m.dock);
  detector.start();
  int minutes = 0;
  int before = m.mac.callCount("CGWindowListCopyWindowInfo");
  for (auto _ : state) {
    m.loop.advance(60);
    ++minutes;
  }
  state.counters["windowListReadsPerMinute"] =
      double(m.mac.callCount("CGWindowListCopyWindowInfo") - before) / minutes;
  state.counters["clockReadsPerMinute"] =
      double(m.mac.callCount("CGEventSourceSecondsSinceLastEventType")) / minutes;
}
BENCHMARK(BM_DetectorIdleMinute);

// Mission Control open on two displays with sixteen desktops each, built by hand.
void buildBars(Machine& m) {
  auto pid = m.mac.dock().pid();
  m.mac.editAccessibilityTree(pid, [&](sim::SimAXNode& root) {
    auto node = [&](const char* role, const char* id) {
      auto n = sim::SimAXNode::make(pid, role);
      if (id) n->attributes["AXIdentifier"] = id;
      return n;
    };
    auto mc = node("AXGroup", "mc");
    for (std::uint32_t display : {1u, 2u}) {
      auto d = node("AXGroup", "mc.display");
      d->attributes["AXDisplayID"] = display;
      auto spaces = node("AXGroup", "mc.spaces");
      auto list = node("AXList", "mc.spaces.list");
      list->attributes["AXPosition"] = Value::dictionary({{"X", 0}, {"Y", 0}});
      list->attributes["AXSize"] = Value::dictionary({{"Width", 1500}, {"Height", 130}});
      for (int i = 0; i < 16; ++i) {
        auto button = node("AXButton", nullptr);
        button->attributes["AXDescription"] = "Desktop " + std::to_string(i + 1);
        button->attributes["AXPosition"] = Value::dictionary({{"X", 10 + 90 * i}, {"Y", 8}});
        button->attributes["AXSize"] = Value::dictionary({{"Width", 80}, {"Height", 50}});
        list->append(button);
      }
      spaces->append(list);
      d->append(spaces);
      mc->append(d);
    }
    root.append(mc);
  });
}

void BM_DockRowsFastPath(benchmark::State& state) {
  Machine m;
  buildBars(m);
  m.dock.rows();  // the walk that fills the cache
  std::size_t items = 0;
  for (auto _ : state) items = m.dock.rows()[1].items.size();
  state.counters["thumbnails"] = double(items * 2);
}
BENCHMARK(BM_DockRowsFastPath);

void BM_DockRowsFullWalk(benchmark::State& state) {
  Machine m;
  buildBars(m);
  std::size_t items = 0;
  for (auto _ : state) {
    // A reader with nothing cached walks the whole tree (no observer: that is not the walk).
    state.PauseTiming();
    DockAccess fresh(m.mac.platform(), m.host, m.log, [] { return false; });
    state.ResumeTiming();
    items = fresh.rows()[1].items.size();
  }
  state.counters["thumbnails"] = double(items * 2);
}
BENCHMARK(BM_DockRowsFullWalk);

}  // namespace
