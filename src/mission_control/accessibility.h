#pragma once
// Whether the system trusts Velmora with its accessibility interface, kept current. Reading
// the Dock (Mission Control thumbnails, badges) and pressing thumbnails depend on it.
//
// It also repairs the one situation users cannot see through: after an update replaces the
// app, System Settings keeps showing the old grant as on while the system refuses the new
// build. Once per version the stale grant is removed with tccutil so the system asks again.

#include <memory>
#include <optional>
#include <string>

#include "core/line_log.h"
#include "core/main_loop.h"
#include "core/result.h"
#include "core/signal.h"
#include "platform/platform.h"
#include "store/settings.h"

namespace velmora {

class Accessibility {
 public:
  // Where System Settings shows the Accessibility list.
  static constexpr const char* kSettingsURL =
      "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";

  // `switchesLog` receives the repair's line; none drops it.
  Accessibility(const platform::Platform& platform, LineLog* switchesLog);
  Accessibility(const Accessibility&) = delete;
  Accessibility& operator=(const Accessibility&) = delete;

  bool trusted() const { return trusted_; }
  // True once this run has reset a stale grant, so the views can say why the system asks
  // again.
  bool askedAgainAfterUpdate() const { return askedAgainAfterUpdate_; }
  // Whether the poll for the grant is running (exactly while untrusted).
  bool polling() const { return poll_ != nullptr; }
  // Told before each change of trusted() or askedAgainAfterUpdate().
  Signal& willChange() { return willChange_; }

  // Asks the system again; with `prompt` the system shows its own request when untrusted.
  // While untrusted a poll asks every 2 s (without prompt) and stops on the grant.
  void checkTrust(bool prompt);
  // The once-per-version repair of a stale grant; at launch, before checkTrust(true).
  void repairAfterUpdate(Settings& settings);
  // Opens the Accessibility list in System Settings.
  void openAccessibilitySettings();
  // Removes the grant of the bundle with tccutil; a failure says why in one line.
  Result<void> resetGrant(const std::string& bundleIdentifier);

 private:
  void setTrusted(bool trusted);
  void setAskedAgainAfterUpdate(bool asked);
  std::string runningVersion();

  platform::Platform platform_;
  LineLog* switchesLog_;
  Signal willChange_;
  bool trusted_;
  bool askedAgainAfterUpdate_ = false;
  std::unique_ptr<RepeatingTimer> poll_;
  Lifetime lifetime_;
};

}  // namespace velmora
