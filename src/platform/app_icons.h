#pragma once
// Applications' icons (NSWorkspace iconForFile: on the application's bundle), for the rows
// that show which applications a desktop holds.

#include <memory>

#include "platform/canvas.h"
#include "platform/workspace.h"

namespace velmora::platform {

class AppIcons {
 public:
  virtual ~AppIcons() = default;
  // The icon of the application `app` names (its bundle identifier or bundle path), sharp at
  // any size; null when the system has no icon for it.
  virtual std::shared_ptr<VectorImage> icon(const AppIcon& app) = 0;
};

}  // namespace velmora::platform
