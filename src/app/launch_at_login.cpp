#include "app/launch_at_login.h"

namespace velmora {

bool LaunchAtLogin::enabled() const {
  return items_.mainAppStatus() == platform::kLoginItemEnabled;
}

Result<void> LaunchAtLogin::setEnabled(bool on) {
  Result<void> changed = on ? items_.registerMainApp() : items_.unregisterMainApp();
  if (changed) settingsChanged_.emit();
  return changed;
}

}  // namespace velmora
