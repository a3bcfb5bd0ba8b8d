#pragma once
// What the diagnostics text reports, asked of the running system: the engine's desktops as
// every surface titles them, the screens, the accessibility grant and the system's own
// desktop shortcuts, and what the overlay has seen of Mission Control. Surfaces that do not
// exist in this build report that plainly.

#include <functional>
#include <string>

#include "app/surfaces.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/diagnostics.h"
#include "switching/system_shortcuts.h"

namespace velmora {

class LiveDiagnostics final : public DiagnosticsSources {
 public:
  // `menuBarTile` describes the tile; without one there is no tile window to describe.
  // Without `labels` nothing watches Mission Control: as far as Velmora knows it is closed.
  // Without `notch` no label runs, so no notch is described.
  LiveDiagnostics(SpaceEngine& engine, const DesktopPresentation& presentation,
                  const SystemShortcuts& shortcuts,
                  std::function<std::string()> menuBarTile = nullptr,
                  const MissionControlLabels* labels = nullptr, NotchName* notch = nullptr)
      : engine_(engine),
        presentation_(presentation),
        shortcuts_(shortcuts),
        menuBarTile_(std::move(menuBarTile)),
        labels_(labels),
        notch_(notch) {}

  bool accessibilityTrusted() override;
  SystemShortcutsState systemShortcuts() override;
  std::vector<platform::ScreenInfo> screens() override;
  std::vector<std::string> notches() override {
    return notch_ ? notch_->report() : std::vector<std::string>{};
  }
  std::string menuBarTile() override { return menuBarTile_ ? menuBarTile_() : "no window"; }
  std::vector<DiagnosticsDisplay> displays() override;
  std::optional<std::string> focusedTitle() override;
  std::optional<std::string> lastTitle() override;
  bool missionControlOpen() override { return labels_ && labels_->isOpen(); }
  std::string missionControlLastPass() override {
    return labels_ && labels_->isOpen() ? labels_->lastReport() : std::string();
  }

 private:
  SpaceEngine& engine_;
  const DesktopPresentation& presentation_;
  const SystemShortcuts& shortcuts_;
  std::function<std::string()> menuBarTile_;
  const MissionControlLabels* labels_;
  NotchName* notch_;
};

}  // namespace velmora
