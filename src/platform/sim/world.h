#pragma once
// Worlds: a virtual Mac described in a JSON file (displays, spaces, applications and their
// windows), so the demo, screenshots, tests and benchmarks can start from the same machine.
// The format is described in docs/worlds.md.

#include <string>
#include <string_view>

#include "platform/sim/virtual_mac.h"

namespace velmora::sim {

struct WorldLoadResult {
  bool ok = false;
  std::string error;  // one user-facing sentence when !ok, naming the line and the field
};

// Builds the described world into `mac`, normally a fresh one. A rejected description changes
// nothing. Never throws.
WorldLoadResult loadWorld(VirtualMac& mac, std::string_view jsonText);
WorldLoadResult loadWorldFile(VirtualMac& mac, const std::string& path);

}  // namespace velmora::sim
