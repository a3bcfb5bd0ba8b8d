#pragma once
// The developer's check of the machine Velmora runs on: does the window server answer, is
// Accessibility granted, are the system's desktop shortcuts on, does the process that runs
// Mission Control answer, did the tile find room in the menu bar, and which screens have a
// notch. Each check is one line, so a bug report can carry them.
#include <string>
#include <vector>

#include "app/velmora_app.h"

namespace velmora {

struct SelfTestCheck {
  std::string name;
  bool passed = false;
  std::string detail;
};

// Runs every check on a Velmora that has finished launching.
std::vector<SelfTestCheck> runSelfTest(VelmoraApp& app, const platform::Platform& platform);

// "PASS window server: 2 displays, 5 desktops", one line a check.
std::string selfTestReport(const std::vector<SelfTestCheck>& checks);

}  // namespace velmora
