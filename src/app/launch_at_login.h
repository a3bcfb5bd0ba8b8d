#pragma once
// "Launch at login", a setting the system keeps rather than Velmora: Velmora registers
// itself as a login item and reads the system's answer back every time, so a change the user
// makes in System Settings shows up here too.

#include <optional>
#include <string_view>

#include "core/result.h"
#include "core/signal.h"
#include "platform/login_items.h"

namespace velmora {

// What the settings window says above the system's description when a change fails.
inline constexpr std::string_view kLaunchAtLoginFailed = "Could not change launch at login";

class LaunchAtLogin {
 public:
  // `settingsChanged` is the settings' own change signal: launch at login is one of them for
  // everything that shows settings.
  LaunchAtLogin(platform::LoginItems& items, Signal& settingsChanged)
      : items_(items), settingsChanged_(settingsChanged) {}

  // On only while the system reports the login item enabled; waiting for the user's approval
  // is not on.
  bool enabled() const;
  // Registers or unregisters the login item. On success the settings' observers hear of it;
  // on failure nothing is announced and the system's reason comes back.
  Result<void> setEnabled(bool on);

 private:
  platform::LoginItems& items_;
  Signal& settingsChanged_;
};

}  // namespace velmora
