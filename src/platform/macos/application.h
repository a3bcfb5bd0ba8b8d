#pragma once
// Velmora's application object (NSApp): activation policy, main menu, modal alerts, quitting.
// Main thread only, as all of AppKit.

#include <vector>

#include "platform/application.h"

namespace velmora::macos {

class MacApplication final : public platform::Application {
 public:
  void setActivationPolicy(platform::ActivationPolicy policy) override;
  void setMainMenu(const std::vector<platform::Menu>& menus) override;
  void activateIgnoringOtherApps() override;
  // The pressed button's index; the raw difference from the first button's response when
  // the alert ended without one (negative).
  int runModalAlert(const platform::Alert& alert) override;
  void terminate() override;
};

}  // namespace velmora::macos
