#pragma once
// Key events seen before Velmora's own windows handle them (AppKit's local event monitors), and
// the system beep.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/local_event_monitors.h"

namespace velmora::macos {

// Main thread only, as AppKit is.
class MacLocalEventMonitors final : public platform::LocalEventMonitors {
 public:
  MacLocalEventMonitors();
  // Removes the monitors still installed: their handlers may reach objects that go with us.
  ~MacLocalEventMonitors() override;

  // Answers 0 (a monitor removeMonitor ignores) when AppKit installs none.
  platform::LocalMonitorID addLocalMonitor(
      std::uint64_t mask, std::function<bool(const platform::LocalKeyEvent&)> handler) override;
  void removeMonitor(platform::LocalMonitorID monitor) override;
  void beep() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora::macos
