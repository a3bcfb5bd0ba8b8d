#pragma once
// The virtual Mac as text for golden files: each display with its frame and spaces (the
// current one starred, a full-screen one with its owner), each application, each window front
// to back (its owner, layer, spaces — none when on every space — and bounds), then who is in
// front and which display's menu bar is active.
#include <string>

#include "golden.h"
#include "platform/sim/virtual_mac.h"

namespace velmora::sim::testing {

template <typename Rect>
std::string rectText(const Rect& r) {
  using velmora::testing::num;
  return num(r.origin.x) + "," + num(r.origin.y) + " " + num(r.size.width) + "x" +
         num(r.size.height);
}

inline std::string machineText(const VirtualMac& mac) {
  std::string out;
  for (const SimDisplay& d : mac.displays()) {
    out += "display " + d.uuid + " " + rectText(d.frame) + ":";
    for (const SimSpace& s : d.spaces) {
      out += " " + std::to_string(s.id) + (s.id == d.currentSpaceID ? "*" : "");
      if (s.type == kSpaceTypeFullScreen)
        out += " (full screen of " +
               (s.fullScreenOwner ? std::to_string(*s.fullScreenOwner) : "?") + ")";
    }
    out += "\n";
  }
  for (const SimApp& app : mac.apps()) {
    out += "app " + std::to_string(app.pid) + " " + app.name.value_or("(no name)") +
           (app.policy == platform::ActivationPolicy::Regular ? "" : " not regular") +
           (app.terminated ? " terminated" : "") + "\n";
  }
  for (const SimWindow& w : mac.windows()) {
    out += "window of " + std::to_string(w.owner) + " layer " + std::to_string(w.layer) + " on";
    for (std::uint64_t space : w.spaces) out += " " + std::to_string(space);
    out += " at " + rectText(w.bounds) + (w.title.empty() ? "" : " \"" + w.title + "\"") + "\n";
  }
  const auto front = mac.frontmostPID();
  return out + "front " + (front ? std::to_string(*front) : "none") + ", menu bar on " +
         mac.activeMenuBarDisplay() + "\n";
}

}  // namespace velmora::sim::testing
