#include "mission_control/accessibility.h"

#include "store/text.h"

namespace velmora {

namespace {

constexpr double kPollInterval = 2.0;
constexpr double kPollTolerance = 1.0;
constexpr const char* kTccutil = "/usr/bin/tccutil";

}  // namespace

Accessibility::Accessibility(const platform::Platform& platform, LineLog* switchesLog)
    : platform_(platform),
      switchesLog_(switchesLog),
      trusted_(platform_.accessibility.isProcessTrusted()) {}

void Accessibility::setTrusted(bool trusted) {
  if (trusted == trusted_) return;
  willChange_.emit();
  trusted_ = trusted;
}

void Accessibility::setAskedAgainAfterUpdate(bool asked) {
  if (asked == askedAgainAfterUpdate_) return;
  willChange_.emit();
  askedAgainAfterUpdate_ = asked;
}

void Accessibility::checkTrust(bool prompt) {
  bool answer = prompt ? platform_.accessibility.isProcessTrustedWithOptions(Value::dictionary(
                             {{platform::kAXTrustedCheckOptionPrompt, Value(true)}}))
                       : platform_.accessibility.isProcessTrusted();
  setTrusted(answer);
  if (answer) {
    if (poll_) {
      poll_->invalidate();
      poll_.reset();
    }
    return;
  }
  if (!poll_) {
    poll_ = platform_.loop.repeating(kPollInterval, kPollTolerance,
                                     lifetime_.guard([this] { checkTrust(false); }));
  }
}

std::string Accessibility::runningVersion() {
  Value version = platform_.bundle.infoDictionaryValue("CFBundleShortVersionString");
  const std::string* text = version.asString();
  return text ? *text : std::string();
}

void Accessibility::repairAfterUpdate(Settings& settings) {
  std::string version = runningVersion();
  if (platform_.accessibility.isProcessTrusted()) return;
  // A first-run user is asked by the welcome window instead.
  if (!settings.onboardingDismissed()) return;
  if (settings.accessibilityRepairedFor() == version) return;
  std::optional<std::string> identifier = platform_.bundle.bundleIdentifier();
  if (!identifier) return;
  // Stored first: whatever happens, one try per version.
  settings.setAccessibilityRepairedFor(version);
  Result<void> reset = resetGrant(*identifier);
  if (switchesLog_) {
    switchesLog_->write("accessibility grant reset for " + version + ": " +
                        (reset ? std::string("done") : reset.error()));
  }
  setAskedAgainAfterUpdate(reset.ok());
}

void Accessibility::openAccessibilitySettings() {
  platform_.launchServices.openURL(kSettingsURL);
}

Result<void> Accessibility::resetGrant(const std::string& bundleIdentifier) {
  // The system attributes the new grant to the bundle Launch Services knows at this path.
  platform_.launchServices.registerURL(platform_.bundle.bundlePath(), true);
  platform::ProcessResult result =
      platform_.processes.run(kTccutil, {"reset", "Accessibility", bundleIdentifier});
  if (!result.launched) return Failure{"could not run tccutil: " + result.launchError};
  std::string message = trimmedWhitespaceAndNewlines(decodeUTF8Lossy(result.standardError));
  if (result.exitStatus == 0) return {};
  if (!message.empty()) return Failure{message};
  return Failure{"tccutil exited " + std::to_string(result.exitStatus)};
}

}  // namespace velmora
