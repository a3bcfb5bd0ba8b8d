#include "platform/sim/virtual_application.h"

#include <algorithm>
#include <cctype>

namespace velmora::sim {

namespace {

// RFC 3986: a scheme is a letter followed by letters, digits, "+", "-" or "."; and a URL has
// no spaces or control characters.
bool formsURL(const std::string& text) {
  auto colon = text.find(':');
  if (colon == std::string::npos || colon == 0 ||
      !std::isalpha(static_cast<unsigned char>(text[0])))
    return false;
  for (std::size_t i = 1; i < colon; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return std::none_of(text.begin(), text.end(),
                      [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7F; });
}

}  // namespace

// ---- platform::Bundle ----

Value VirtualApplication::infoDictionaryValue(const std::string& key) {
  const auto& info = machine_.bundle.info;
  auto it = info.find(key);
  return it == info.end() ? Value() : it->second;
}

// ---- platform::LaunchServices ----

bool VirtualApplication::openURL(const std::string& url) {
  machine_.countCall("NSWorkspace.open");
  if (!formsURL(url)) return false;
  openedURLs_.push_back(url);
  std::string bare = url;
  if (bare.ends_with('/')) bare.pop_back();
  if (bare == kMissionControlURL) toggleMissionControl();
  return true;
}

std::int32_t VirtualApplication::registerURL(const std::string& bundlePath, bool) {
  machine_.countCall("LSRegisterURL");
  registeredBundles_.push_back(bundlePath);
  return 0;
}

// ---- platform::LoginItems ----

Result<void> VirtualApplication::registerMainApp() {
  machine_.countCall("SMAppService.register");
  if (loginItemFailure_) return Failure{*loginItemFailure_};
  loginItemStatus_ = platform::kLoginItemEnabled;
  return {};
}

Result<void> VirtualApplication::unregisterMainApp() {
  machine_.countCall("SMAppService.unregister");
  if (loginItemFailure_) return Failure{*loginItemFailure_};
  loginItemStatus_ = platform::kLoginItemNotRegistered;
  return {};
}

// ---- platform::Application ----

void VirtualApplication::setActivationPolicy(platform::ActivationPolicy policy) {
  machine_.countCall("NSApplication.setActivationPolicy");
  for (auto& app : machine_.apps) {
    if (app.pid == machine_.self()) app.policy = policy;
  }
}

void VirtualApplication::activateIgnoringOtherApps() {
  machine_.countCall("NSApplication.activate");
  machine_.frontmost = machine_.self();
  machine_.menuBarMayMove();
}

int VirtualApplication::runModalAlert(const platform::Alert& alert) {
  machine_.countCall("NSAlert.runModal");
  alerts_.push_back(alert);
  int answer = 0;
  if (!alertAnswers_.empty()) {
    for (std::size_t i = 0; i < alert.buttons.size(); ++i) {
      if (alert.buttons[i] == alertAnswers_.front()) answer = static_cast<int>(i);
    }
    alertAnswers_.erase(alertAnswers_.begin());
  }
  return answer;
}

void VirtualApplication::terminate() {
  machine_.countCall("NSApplication.terminate");
  ++terminateRequests_;
  if (workspace_.handlesQuitRequests(machine_.self())) workspace_.requestQuit(machine_.self());
}

void VirtualApplication::openApplication(const std::string& bundlePath) {
  machine_.countCall("NSWorkspace.openApplication");
  openedApplications_.push_back(bundlePath);
  std::string bare = bundlePath;
  if (bare.ends_with('/')) bare.pop_back();
  if (bare == kMissionControlPath) {
    toggleMissionControl();
    return;
  }
  if (onOpenApplication_) onOpenApplication_(bundlePath);
}

void VirtualApplication::toggleMissionControl() {
  machine_.loop().post(lifetime_.guard([this] {
    if (onOpenMissionControl_) onOpenMissionControl_();
  }));
}

}  // namespace velmora::sim
