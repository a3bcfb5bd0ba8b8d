#include "spaces/presentation.h"

namespace velmora {

SpaceMeta DesktopPresentation::storedMeta(const Desktop& desktop) const {
  return store_.meta(desktop.space.managedID);
}

SpaceMeta DesktopPresentation::meta(const Desktop& desktop) const {
  SpaceMeta stored = storedMeta(desktop);
  if (!settings_.presenting()) return stored;
  SpaceMeta hidden;
  hidden.seconds = stored.seconds;
  hidden.hotkey = stored.hotkey;
  return hidden;
}

std::string DesktopPresentation::title(const Desktop& desktop) const {
  std::string own = name(desktop);
  return own.empty() ? "Desktop " + std::to_string(desktop.number) : own;
}

RGBColor DesktopPresentation::tint(const Desktop& desktop) const {
  TileColor c = color(desktop);
  if (c.kind() == TileColor::Kind::Transparent) return kTransparentTint;
  return c.entry(desktop.number).color;
}

std::optional<Hotkey> DesktopPresentation::shortcut(const Desktop& desktop) const {
  if (auto own = storedMeta(desktop).hotkey) return own;
  if (!settings_.directJumpEnabled()) return std::nullopt;
  if (auto key = platform::keys::digitForDesktop(desktop.number)) {
    return Hotkey{*key, settings_.directJumpModifiers()};
  }
  return std::nullopt;
}

}  // namespace velmora
