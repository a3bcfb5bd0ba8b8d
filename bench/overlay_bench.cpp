// One geometry pass of the overlay over Mission Control with sixteen thumbnails on each of two
// displays, Velmora running as the command line runs it:
// - unchanged: the bars are read (the cached lists only), every thumbnail is matched to its
//   desktop and the pills compare equal to those on screen, so nothing is laid out or drawn;
// - every pill changed: each thumbnail moved by a point since the last pass (the tree is edited
//   in the loop too), so both panels lay out and animate all sixteen pills again.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "cli/session.h"
#include "core/virtual_loop.h"
#include "surfaces/mission_control_overlay.h"

namespace {

using namespace velmora;

constexpr int kPerDisplay = 16;

std::string world() {
  std::string spaces;
  for (int i = 0; i < kPerDisplay; ++i) spaces += std::string(i ? ", " : "") + "\"desktop\"";
  return R"({"accessibilityTrusted": true, "displays": [
    {"uuid": "A", "frame": [0, 0, 1512, 982], "spaces": [)" +
         spaces + R"(]},
    {"uuid": "B", "frame": [1512, 0, 1512, 982], "spaces": [)" +
         spaces + R"(]}]})";
}

Value point(double x, double y) {
  return Value::dictionary({{"X", x}, {"Y", y}});
}
Value extent(double w, double h) {
  return Value::dictionary({{"Width", w}, {"Height", h}});
}

struct OpenMissionControl {
  VirtualLoop loop;
  std::ostringstream out;
  cli::Session session{loop, &loop, out};
  MissionControlOverlay* overlay = nullptr;
  std::vector<sim::SimAXNodePtr> buttons;

  OpenMissionControl() {
    if (!session.loadWorldText(world()).ok()) std::abort();
    session.launch();
    session.execute("advance 8");  // past the first-run toast
    overlay = session.missionControlOverlay();
    if (!overlay) std::abort();
    sim::VirtualMac& mac = session.mac();
    // Velmora turned the desktop shortcuts on at launch, which restarted the Dock.
    const sim::pid_t dock = mac.dock().pid();
    mac.editAccessibilityTree(dock, [&](sim::SimAXNode& root) {
      auto mc = sim::SimAXNode::make(dock, "AXGroup");
      mc->attributes["AXIdentifier"] = "mc";
      for (const char* uuid : {"A", "B"}) {
        const sim::SimDisplay* display = mac.display(uuid);
        double x0 = display->frame.minX();
        auto group = sim::SimAXNode::make(dock, "AXGroup");
        group->attributes["AXIdentifier"] = "mc.display";
        group->attributes["AXDisplayID"] = static_cast<std::int64_t>(display->displayNumber);
        auto spaces = sim::SimAXNode::make(dock, "AXGroup");
        spaces->attributes["AXIdentifier"] = "mc.spaces";
        auto list = sim::SimAXNode::make(dock, "AXList");
        list->attributes["AXIdentifier"] = "mc.spaces.list";
        list->attributes["AXPosition"] = point(x0, 40);
        list->attributes["AXSize"] = extent(1512, 110);
        for (int i = 0; i < kPerDisplay; ++i) {
          auto button = sim::SimAXNode::make(dock, "AXButton");
          button->attributes["AXDescription"] = "Desktop " + std::to_string(i + 1);
          button->attributes["AXPosition"] = point(x0 + 20 + 92 * i, 50);
          button->attributes["AXSize"] = extent(84, 52);
          buttons.push_back(button);
          list->append(button);
        }
        spaces->append(list);
        group->append(spaces);
        mc->append(group);
      }
      root.append(mc);
    });
    mac.overrideWindowList(Value::array({Value::dictionary(
        {{"kCGWindowOwnerName", "Dock"},
         {"kCGWindowLayer", 18},
         {"kCGWindowBounds", Value::dictionary({{"Width", 1512}, {"Height", 982}})}})}));
    overlay->detector().check("poll");
    overlay->pass();
    if (overlay->pills().size() != 2) {
      std::fprintf(stderr, "expected pills on both displays\n");
      std::abort();
    }
  }
  // Moves every thumbnail one point right or back.
  void nudge(bool right) {
    session.mac().editAccessibilityTree(session.mac().dock().pid(), [&](sim::SimAXNode&) {
      for (auto& button : buttons) {
        const Value::Dictionary* at = button->attributes["AXPosition"].asDictionary();
        double x = at->at("X").asNumber().value_or(0) + (right ? 1 : -1);
        button->attributes["AXPosition"] = point(x, 50);
      }
    });
  }
};

void BM_OverlayPassUnchanged(benchmark::State& state) {
  OpenMissionControl mc;
  int before = mc.overlay->passes();
  for (auto _ : state) mc.overlay->pass();
  state.counters["pills"] =
      static_cast<double>(mc.overlay->pills().at("A").size() + mc.overlay->pills().at("B").size());
  if (mc.overlay->changes().size() != 1 || mc.overlay->passes() <= before) {
    state.SkipWithError("a pass over unchanged thumbnails changed the pills");
  }
}
BENCHMARK(BM_OverlayPassUnchanged)->Unit(benchmark::kMicrosecond);

void BM_OverlayPassEveryPillChanged(benchmark::State& state) {
  OpenMissionControl mc;
  bool right = true;
  for (auto _ : state) {
    mc.nudge(right);
    right = !right;
    mc.overlay->pass();
  }
  state.counters["pills"] =
      static_cast<double>(mc.overlay->pills().at("A").size() + mc.overlay->pills().at("B").size());
}
BENCHMARK(BM_OverlayPassEveryPillChanged)->Unit(benchmark::kMicrosecond);

}  // namespace
