#pragma once
// The application object (NSApplication): its activation policy, main menu, modal alerts and
// lifecycle.
#include <string>
#include <vector>

#include "platform/menus.h"
#include "platform/workspace.h"

namespace velmora::platform {

// An NSAlert: a title, an informative text and buttons, first button the default.
struct Alert {
  std::string title;
  std::string text;
  std::vector<std::string> buttons;
};

class Application {
 public:
  virtual ~Application() = default;
  // setActivationPolicy: an accessory has no Dock icon and no menu bar of its own.
  virtual void setActivationPolicy(ActivationPolicy policy) = 0;
  // mainMenu = the menus, in menu-bar order.
  virtual void setMainMenu(const std::vector<Menu>& menus) = 0;
  // activate(ignoringOtherApps: true): Velmora comes to the front, e.g. before an alert.
  virtual void activateIgnoringOtherApps() = 0;
  // runModal: blocks until the user answers; the index of the button pressed.
  virtual int runModalAlert(const Alert& alert) = 0;
  // NSApplication.terminate(nil): applicationWillTerminate: runs, then the process ends.
  virtual void terminate() = 0;
};

}  // namespace velmora::platform
