#pragma once
// What the diagnostics text reports, asked of the running system: the engine's desktops as
// every surface titles them, the screens, the accessibility grant and the system's own
// desktop shortcuts. Surfaces that do not exist in this build report that plainly.

#include <functional>
#include <string>

#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/diagnostics.h"
#include "switching/system_shortcuts.h"

namespace velmora {

class LiveDiagnostics final : public DiagnosticsSources {
 public:
  // `menuBarTile` describes the tile; without one there is no tile window to describe.
  LiveDiagnostics(SpaceEngine& engine, const DesktopPresentation& presentation,
                  const SystemShortcuts& shortcuts,
                  std::function<std::string()> menuBarTile = nullptr)
      : engine_(engine),
        presentation_(presentation),
        shortcuts_(shortcuts),
        menuBarTile_(std::move(menuBarTile)) {}

  bool accessibilityTrusted() override;
  SystemShortcutsState systemShortcuts() override;
  std::vector<platform::ScreenInfo> screens() override;
  // No notch label runs in this build, so no notch is described.
  std::vector<std::string> notches() override { return {}; }
  std::string menuBarTile() override { return menuBarTile_ ? menuBarTile_() : "no window"; }
  std::vector<DiagnosticsDisplay> displays() override;
  std::optional<std::string> focusedTitle() override;
  std::optional<std::string> lastTitle() override;
  // Nothing watches for Mission Control in this build: as far as Velmora knows it is closed.
  bool missionControlOpen() override { return false; }

 private:
  SpaceEngine& engine_;
  const DesktopPresentation& presentation_;
  const SystemShortcuts& shortcuts_;
  std::function<std::string()> menuBarTile_;
};

}  // namespace velmora
