#pragma once
// Velmora's own application as the virtual Mac knows it: its bundle (NSBundle.main), the
// URLs it opens and the bundles it registers with launch services, its login item
// (SMAppService.mainApp) and its application object (NSApplication: activation policy, main
// menu, modal alerts, terminate). Everything asked is recorded so tests can read it back.
// It speaks for the copy of Velmora that is this process (Machine::self).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/bundle.h"
#include "platform/launch_services.h"
#include "platform/login_items.h"
#include "platform/sim/machine.h"
#include "platform/sim/virtual_workspace.h"

namespace velmora::sim {

class VirtualApplication final : public platform::Bundle,
                                 public platform::LaunchServices,
                                 public platform::LoginItems,
                                 public platform::Application {
 public:
  // Quit requests go through `workspace`, where whatever runs the copy hears them.
  VirtualApplication(Machine& machine, VirtualWorkspace& workspace)
      : machine_(machine), workspace_(workspace) {}

  // ---- Looking ----
  const std::vector<std::string>& openedURLs() const { return openedURLs_; }
  const std::vector<std::string>& registeredBundles() const { return registeredBundles_; }
  const std::vector<platform::Menu>& mainMenu() const { return mainMenu_; }
  const std::vector<platform::Alert>& alerts() const { return alerts_; }
  // How often Velmora asked its own application object to terminate.
  int terminateRequests() const { return terminateRequests_; }
  // The application bundles opened ("/usr/bin/open PATH"), in order.
  const std::vector<std::string>& openedApplications() const { return openedApplications_; }

  // ---- Opening an application ----
  // "/usr/bin/open PATH" of an application bundle: recorded, and whatever runs copies of
  // Velmora (the command line's session) hears it through onOpenApplication to start one.
  void openApplication(const std::string& bundlePath);
  void setOnOpenApplication(std::function<void(const std::string& bundlePath)> fn) {
    onOpenApplication_ = std::move(fn);
  }
  // Mission Control is an application only in name: opening it, by path or by its file URL,
  // toggles Mission Control (heard on the next loop turn), as on a Mac.
  static constexpr const char* kMissionControlPath = "/System/Applications/Mission Control.app";
  static constexpr const char* kMissionControlURL =
      "file:///System/Applications/Mission%20Control.app";
  void setOnOpenMissionControl(std::function<void()> fn) { onOpenMissionControl_ = std::move(fn); }

  // ---- What the user does ----
  // How the user answers the next alerts, by button title, in order; an alert without an
  // answer given gets its first button.
  void answerAlerts(std::vector<std::string> buttonTitles) {
    alertAnswers_ = std::move(buttonTitles);
  }
  // The user approves the login item in System Settings, or turns it off there.
  void setLoginItemStatus(std::int64_t status) { loginItemStatus_ = status; }
  // Registering or unregistering the login item fails with this description; none lets it
  // work again.
  void failLoginItemChanges(std::optional<std::string> description) {
    loginItemFailure_ = std::move(description);
  }

  // ---- platform::Bundle ----
  Value infoDictionaryValue(const std::string& key) override;
  std::optional<std::string> bundleIdentifier() override { return machine_.bundle.identifier; }
  std::string bundlePath() override { return machine_.bundle.path; }

  // ---- platform::LaunchServices ----
  bool openURL(const std::string& url) override;
  std::int32_t registerURL(const std::string& bundlePath, bool update) override;

  // ---- platform::LoginItems ----
  std::int64_t mainAppStatus() override { return loginItemStatus_; }
  Result<void> registerMainApp() override;
  Result<void> unregisterMainApp() override;

  // ---- platform::Application ----
  void setActivationPolicy(platform::ActivationPolicy policy) override;
  void setMainMenu(const std::vector<platform::Menu>& menus) override { mainMenu_ = menus; }
  void activateIgnoringOtherApps() override;
  // Answers with answerAlerts' choice (the first button when none was given); recorded.
  int runModalAlert(const platform::Alert& alert) override;
  // Recorded; when something runs this copy (VirtualWorkspace::setOnQuitRequest), it hears
  // the request on the next loop turn. Otherwise the test process simply goes on.
  void terminate() override;

 private:
  void toggleMissionControl();

  Machine& machine_;
  VirtualWorkspace& workspace_;
  std::vector<std::string> openedApplications_;
  std::function<void(const std::string& bundlePath)> onOpenApplication_;
  std::function<void()> onOpenMissionControl_;
  Lifetime lifetime_;
  std::vector<std::string> openedURLs_;
  std::vector<std::string> registeredBundles_;
  std::int64_t loginItemStatus_ = platform::kLoginItemNotRegistered;
  std::optional<std::string> loginItemFailure_;
  std::vector<platform::Menu> mainMenu_;
  std::vector<platform::Alert> alerts_;
  std::vector<std::string> alertAnswers_;
  int terminateRequests_ = 0;
};

}  // namespace velmora::sim
