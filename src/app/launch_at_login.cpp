#include "app/launch_at_login.h"

namespace velmora {

bool LaunchAtLogin::enabled() const {
  return items_.mainAppStatus() == platform::kLoginItemEnabled;
}

std::optional<platform::LoginItemError> LaunchAtLogin::setEnabled(bool on) {
  std::optional<platform::LoginItemError> error =
      on ? items_.registerMainApp() : items_.unregisterMainApp();
  if (!error) settingsChanged_.emit();
  return error;
}

}  // namespace velmora
