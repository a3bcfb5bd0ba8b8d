#include "platform/sim/virtual_pointer_monitors.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace velmora::sim {

platform::PointerMonitorID VirtualPointerMonitors::add(
    bool local, std::uint64_t mask, std::function<void(const platform::PointerEvent&)> handler) {
  if (!handler || mask == 0) return 0;
  platform::PointerMonitorID id = next_++;
  monitors_[id] = Monitor{local, mask, std::move(handler)};
  return id;
}

platform::PointerMonitorID VirtualPointerMonitors::addGlobalMonitor(
    std::uint64_t mask, std::function<void(const platform::PointerEvent&)> handler) {
  return add(false, mask, std::move(handler));
}

platform::PointerMonitorID VirtualPointerMonitors::addLocalMonitor(
    std::uint64_t mask, std::function<void(const platform::PointerEvent&)> handler) {
  return add(true, mask, std::move(handler));
}

void VirtualPointerMonitors::removeMonitor(platform::PointerMonitorID monitor) {
  monitors_.erase(monitor);
}

int VirtualPointerMonitors::count(bool local) const {
  return static_cast<int>(std::count_if(monitors_.begin(), monitors_.end(),
                                        [&](const auto& m) { return m.second.local == local; }));
}

void VirtualPointerMonitors::deliver(std::uint32_t type, bool ownWindow) {
  const std::uint64_t bit = 1ULL << type;
  std::vector<platform::PointerMonitorID> hearing;
  for (const auto& [id, m] : monitors_) {
    if (m.local == ownWindow && (m.mask & bit)) hearing.push_back(id);
  }
  if (hearing.empty()) return;
  platform::PointerEvent event{type, pointer_};
  loop_.post([this, hearing = std::move(hearing), event] {
    // A monitor removed in the meantime hears nothing.
    for (platform::PointerMonitorID id : hearing) {
      auto it = monitors_.find(id);
      if (it != monitors_.end()) it->second.handler(event);
    }
  });
}

ScreenPoint clampToDisplays(ScreenPoint point, const std::vector<ScreenRect>& frames) {
  // Far enough off for any display, and near enough that distances stay finite.
  static constexpr double kFar = 1e15;
  auto tame = [](double v) { return std::isnan(v) ? 0.0 : std::clamp(v, -kFar, kFar); };
  point = ScreenPoint{tame(point.x), tame(point.y)};
  ScreenPoint best = point;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (const ScreenRect& f : frames) {
    if (f.isEmpty()) continue;
    if (f.contains(point)) return point;
    // The last point still on this display: maxX and maxY themselves are just off it.
    ScreenPoint p{std::clamp(point.x, f.minX(), f.maxX() - 1),
                  std::clamp(point.y, f.minY(), f.maxY() - 1)};
    double d = std::hypot(p.x - point.x, p.y - point.y);
    if (!(d >= bestDistance)) {
      bestDistance = d;
      best = p;
    }
  }
  return best;
}

}  // namespace velmora::sim
