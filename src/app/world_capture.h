#pragma once
// The machine Velmora runs on, written as a world file (docs/worlds.md) from what the seams
// answer: the displays and their spaces, the running applications and their windows, the
// Accessibility grant, the system's desktop shortcuts and Velmora's settings. A user's bug
// report then replays on the virtual Mac with `velmora run`.
//
// What the seams do not show is left out: window titles the window list keeps back, the
// items other applications put in the menu bar, Dock badges and animation timings.
#include <string>

#include "platform/platform.h"

namespace velmora {

// The world file's JSON text.
std::string captureWorld(const platform::Platform& platform);

}  // namespace velmora
