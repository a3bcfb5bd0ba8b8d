#pragma once
// A metadata store and settings on a virtual Mac, and desktops made up by number and record,
// for tests of what a desktop shows.
#include <cstdint>

#include "core/notification_center.h"
#include "core/virtual_loop.h"
#include "platform/linux/host_services.h"
#include "platform/sim/virtual_mac.h"
#include "spaces/presentation.h"
#include "test_ids.h"

namespace velmora::testing {

struct PresentationWorld {
  static Desktop desktop(int number, ManagedID managedID) {
    // Space ids far from managed ids, so a lookup by the wrong one finds nothing.
    return Desktop{SkyLight::Space{SpaceID(static_cast<std::uint64_t>(managedID.raw()) + 9000),
                                   managedID, 0, "A"},
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
