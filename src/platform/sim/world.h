#pragma once
// Worlds: a virtual Mac described in a JSON file (displays, spaces, applications and their
// windows), so the demo, screenshots, tests and benchmarks can start from the same machine.
// The format is described in docs/worlds.md.

#include <string>
#include <string_view>

#include "core/result.h"
#include "platform/sim/virtual_mac.h"

namespace velmora::sim {

// Builds the described world into `mac`, normally a fresh one. A rejected description changes
// nothing and fails with one sentence naming the line and the field. Never throws.
Result<void> loadWorld(VirtualMac& mac, std::string_view jsonText);
Result<void> loadWorldFile(VirtualMac& mac, const std::string& path);

}  // namespace velmora::sim
