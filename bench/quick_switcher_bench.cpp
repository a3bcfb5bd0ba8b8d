// The quick switcher on a crowded Mac — 48 desktops over three displays, ten applications
// with a window on every one of them — run as the command line runs Velmora:
// - one keystroke: the key reaches the field, the query is searched against every desktop,
//   the panel is laid out again and its visible rows are drawn at the Retina scale (the card
//   under them stays, as the panel's layer keeps it on a Mac);
// - the hotkey: from ⌃⌥Space to the panel being the key window, with the fresh read of the
//   desktops and their applications that opening does.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "cli/session.h"
#include "core/virtual_loop.h"
#include "crowded_mac.h"
#include "platform/key_codes.h"
#include "surfaces/quick_switcher.h"

namespace {

using namespace velmora;

using bench::CrowdedMac;

void BM_SwitcherKeystroke(benchmark::State& state) {
  CrowdedMac crowded;
  crowded.session.execute("press ctrl+opt+space");
  QuickSwitcher* switcher = crowded.session.quickSwitcher();
  if (!switcher || !switcher->panel().isKey()) {
    std::fprintf(stderr, "the quick switcher did not open\n");
    std::abort();
  }
  sim::VirtualKeyboard& keyboard = crowded.session.mac().keyboard();
  const Size size = switcher->panel().frame().size;
  auto canvas = crowded.session.mac().canvases().makeCanvas(size, 2);
  // Typing "m" finds every desktop through its applications (Mail, Music); deleting it lists
  // them all: nine rows drawn either way.
  bool typed = false;
  for (auto _ : state) {
    if (typed) {
      keyboard.userPress(platform::keys::kDelete, 0);
    } else {
      keyboard.userType("m");
    }
    typed = !typed;
    crowded.loop.runPending();
    switcher->list().drawList(*canvas, size);
  }
  state.counters["desktops"] =
      static_cast<double>(crowded.session.app()->engine().desktops().size());
  state.counters["rows"] = static_cast<double>(switcher->model().rows().size());
}
BENCHMARK(BM_SwitcherKeystroke)->Unit(benchmark::kMicrosecond);

void BM_SwitcherHotkeyToKeyPanel(benchmark::State& state) {
  CrowdedMac crowded;
  sim::VirtualKeyboard& keyboard = crowded.session.mac().keyboard();
  for (auto _ : state) {
    keyboard.userPress(platform::keys::kSpace,
                       platform::kEventFlagControl | platform::kEventFlagOption);
    crowded.loop.runPending();
    state.PauseTiming();
    QuickSwitcher* switcher = crowded.session.quickSwitcher();
    if (!switcher || !switcher->panel().isKey()) {
      state.SkipWithError("the panel did not become key");
      break;
    }
    keyboard.userPress(platform::keys::kEscape, 0);
    crowded.loop.runPending();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SwitcherHotkeyToKeyPanel)->Unit(benchmark::kMicrosecond);

}  // namespace
