#pragma once
// A crowded Mac for the benchmarks of what lists every desktop: 48 desktops over three
// displays, ten applications with a window on every one of them, Velmora launched and past its
// first-run toast, run as the command line runs it.

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "cli/session.h"
#include "core/virtual_loop.h"

namespace velmora::bench {

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

}  // namespace velmora::bench
