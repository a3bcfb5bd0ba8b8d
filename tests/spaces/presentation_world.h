#pragma once
// A metadata store and settings on a virtual Mac, and desktops made up by number and record,
// for tests of what a desktop shows.
#include <cstdint>

#include "core/notification_center.h"
#include "core/virtual_loop.h"
#include "platform/linux/host_services.h"
#include "platform/sim/virtual_mac.h"
#include "spaces/presentation.h"

namespace velmora::testing {

struct PresentationWorld {
  static Desktop desktop(int number, std::int64_t managedID) {
    return Desktop{SkyLight::Space{static_cast<std::uint64_t>(managedID), managedID, 0, "A"},
                   number, false};
  }

  // Draws nothing: for what a desktop is called and shows.
  PresentationWorld() = default;
  // Draws with `host`: for views that are looked at.
  explicit PresentationWorld(linuxhost::HostServices host) : mac(loop, host) {}

  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  NotificationCenter center;
  MemoryLog systemLog;
  SpaceStore store{mac.platform(), center, systemLog};
  Settings settings{mac.preferences()};
  DesktopPresentation show{store, settings};
};

}  // namespace velmora::testing
