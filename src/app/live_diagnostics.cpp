#include "app/live_diagnostics.h"

namespace velmora {

bool LiveDiagnostics::accessibilityTrusted() {
  return engine_.platform().accessibility.isProcessTrusted();
}

SystemShortcutsState LiveDiagnostics::systemShortcuts() {
  SystemShortcutsState state;
  state.switchToDesktopOn = shortcuts_.enabledCount();
  if (auto left = shortcuts_.combo(SystemShortcuts::Direction::left))
    state.moveLeft = left->display;
  if (auto right = shortcuts_.combo(SystemShortcuts::Direction::right)) {
    state.moveRight = right->display;
  }
  return state;
}

std::vector<platform::ScreenInfo> LiveDiagnostics::screens() {
  return engine_.platform().screens.screens();
}

std::vector<DiagnosticsDisplay> LiveDiagnostics::displays() {
  std::vector<DiagnosticsDisplay> result;
  for (const SkyLight::Display& display : engine_.displays()) {
    DiagnosticsDisplay row{display.uuid, display.currentSpaceID, {}};
    for (const SkyLight::Space& space : display.spaces) {
      DiagnosticsSpace entry{space.id, space.managedID, space.type, std::nullopt};
      if (auto desktop = engine_.desktopWithID(space.id); desktop && space.isDesktop()) {
        entry.desktop = DiagnosticsSpace::Desktop{desktop->number, presentation_.title(*desktop),
                                                  presentation_.icon(*desktop),
                                                  presentation_.storedMeta(*desktop).color};
      }
      row.spaces.push_back(std::move(entry));
    }
    result.push_back(std::move(row));
  }
  return result;
}

std::optional<std::string> LiveDiagnostics::focusedTitle() {
  auto current = engine_.currentDesktop();
  if (!current) return std::nullopt;
  return presentation_.title(*current);
}

std::optional<std::string> LiveDiagnostics::lastTitle() {
  auto last = engine_.lastDesktop();
  if (!last) return std::nullopt;
  return presentation_.title(*last);
}

}  // namespace velmora
