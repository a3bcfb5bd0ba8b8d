#pragma once
// Pointer events of other applications and of Velmora's own windows (AppKit's global and
// local event monitors), and where the pointer is.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/pointer_monitors.h"

namespace velmora::macos {

// Main thread only, as AppKit is.
class MacPointerMonitors final : public platform::PointerMonitors {
 public:
  MacPointerMonitors();
  // Removes the monitors still installed: their handlers may reach objects that go with us.
  ~MacPointerMonitors() override;

  // Each answers 0 (a monitor removeMonitor ignores) when AppKit installs none.
  platform::PointerMonitorID addGlobalMonitor(
      std::uint64_t mask, std::function<void(const platform::PointerEvent&)> handler) override;
  platform::PointerMonitorID addLocalMonitor(
      std::uint64_t mask, std::function<void(const platform::PointerEvent&)> handler) override;
  void removeMonitor(platform::PointerMonitorID monitor) override;
  ScreenPoint location() const override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora::macos
