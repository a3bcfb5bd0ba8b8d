#pragma once
// The virtual Mac's pointer monitors. Each pointer event goes to the global monitors when it
// lands outside Velmora's panels (another application gets it) and to the local ones when a
// Velmora panel is under the pointer, on the next loop turn, as AppKit delivers them.
#include <cstdint>
#include <functional>
#include <map>

#include "core/main_loop.h"
#include "platform/pointer_monitors.h"

namespace velmora::sim {

class VirtualPointerMonitors final : public platform::PointerMonitors {
 public:
  VirtualPointerMonitors(MainLoop& loop, const ScreenPoint& pointer)
      : loop_(loop), pointer_(pointer) {}

  platform::PointerMonitorID addGlobalMonitor(
      std::uint64_t mask, std::function<void(const platform::PointerEvent&)> handler) override;
  platform::PointerMonitorID addLocalMonitor(
      std::uint64_t mask, std::function<void(const platform::PointerEvent&)> handler) override;
  void removeMonitor(platform::PointerMonitorID monitor) override;
  ScreenPoint location() const override { return pointer_; }

  // An event of this type where the pointer is now; `ownWindow` when a Velmora panel is
  // under it.
  void deliver(std::uint32_t type, bool ownWindow);
  int globalCount() const { return count(false); }
  int localCount() const { return count(true); }

 private:
  struct Monitor {
    bool local = false;
    std::uint64_t mask = 0;
    std::function<void(const platform::PointerEvent&)> handler;
  };
  platform::PointerMonitorID add(bool local, std::uint64_t mask,
                                 std::function<void(const platform::PointerEvent&)> handler);
  int count(bool local) const;

  MainLoop& loop_;
  const ScreenPoint& pointer_;
  platform::PointerMonitorID next_ = 1;
  std::map<platform::PointerMonitorID, Monitor> monitors_;
};

// The nearest point of the displays to `point`: the pointer cannot leave the screens.
ScreenPoint clampToDisplays(ScreenPoint point, const std::vector<ScreenRect>& frames);

}  // namespace velmora::sim
