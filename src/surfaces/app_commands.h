#pragma once
// What the surfaces ask of the application (the delegate carries these out): they hold it
// without owning it.
#include <optional>

#include "spaces/desktop.h"
#include "store/settings_page.h"

namespace velmora {

class AppCommands {
 public:
  virtual ~AppCommands() = default;
  virtual void openSettings(std::optional<SettingsPage> page = std::nullopt) = 0;
  virtual void openFirstRun() = 0;
  virtual void openMissionControl() = 0;
  virtual void toggleQuickSwitcher() = 0;
  virtual void togglePopoverFromNotch() = 0;
  // From the tile, else from the notch label when the tile is hidden, else the settings.
  virtual void togglePopover() = 0;
  virtual void closePopover() = 0;
  virtual void switchTo(const Desktop& desktop) = 0;
  virtual void previewSwitchTag() = 0;
  virtual void showHoverStrip() = 0;
  virtual void previewNotchLabel() = 0;
  virtual void togglePresentation() = 0;
  // The desktop's editor.
  virtual void editDesktop(const Desktop& desktop) = 0;
  virtual void quit() = 0;
};

}  // namespace velmora
