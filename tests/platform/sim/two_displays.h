#pragma once
// A virtual Mac with two displays — A (1512 × 982, two desktops and a full-screen space) and B
// (2560 × 1440 at scale 1, to the right with its top 458 points higher, two desktops) — with
// Notes running and the workspace notifications heard in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora::sim::testing {

class TwoDisplays : public ::testing::Test {
 protected:
  TwoDisplays() {
    mac.addDisplay("A", ScreenRect::make(0, 0, 1512, 982));
    mac.addDisplay("B", ScreenRect::make(1512, -458, 2560, 1440), 1);
    a = {mac.currentSpace("A"), mac.addSpace("A"), mac.addSpace("A", kSpaceTypeFullScreen)};
    b = {mac.currentSpace("B"), mac.addSpace("B")};
    notes = mac.addApplication({.name = "Notes"});
    tokens.push_back(
        mac.workspace().observeActiveSpaceChanged([this] { events.push_back("active"); }));
    tokens.push_back(
        mac.workspace().observeScreenParametersChanged([this] { events.push_back("screens"); }));
  }

  VirtualLoop loop;
  VirtualMac mac{loop};
  VirtualWindowServer& server = mac.windowServer();
  VirtualWorkspace& workspace = mac.workspace();
  std::vector<std::uint64_t> a, b;
  platform::pid_t notes = 0;
  std::vector<std::string> events;  // "active", "screens"
  std::vector<ObserverToken> tokens;
};

}  // namespace velmora::sim::testing
