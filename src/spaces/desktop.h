#pragma once
// The engine's numbered view of one user desktop, and one application with windows on a
// desktop. Both are immutable snapshots compared field by field.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/workspace.h"
#include "spaces/skylight.h"

namespace velmora {

struct Desktop {
  SkyLight::Space space;  // always an ordinary desktop (type 0)
  int number = 0;         // 1-based across all displays; full-screen spaces take none
  bool isCurrent = false;

  SpaceID id() const { return space.id; }
  // A desktop that moved from 2 to 3, or stopped being current, is a different value.
  bool operator==(const Desktop&) const = default;
};

struct SpaceApp {
  platform::pid_t pid = 0;
  std::string name;  // "" when the application has none
  std::optional<platform::AppIcon> icon;
  std::optional<std::string> badge;  // the Dock badge, when badges are on and shown

  platform::pid_t id() const { return pid; }
  // Name and icon are not compared: a re-rendered icon is not a change, a new badge is.
  bool operator==(const SpaceApp& other) const { return pid == other.pid && badge == other.badge; }
};

}  // namespace velmora
