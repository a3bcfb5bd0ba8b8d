#pragma once
// What a desktop shows: the user's name or "Desktop N", icon, colour, tint and the shortcut
// that reaches it. Everything is read from the store and the settings at the moment of
// asking, so presentation mode hides every user-given name, icon and colour at once while
// numbers, tracked time and shortcuts stay.

#include <optional>
#include <string>

#include "spaces/desktop.h"
#include "store/settings.h"
#include "store/space_store.h"

namespace velmora {

class DesktopPresentation {
 public:
  DesktopPresentation(const SpaceStore& store, const Settings& settings)
      : store_(store), settings_(settings) {}

  SpaceMeta storedMeta(const Desktop& desktop) const;
  SpaceMeta meta(const Desktop& desktop) const;
  std::string name(const Desktop& desktop) const { return meta(desktop).name; }
  bool isNamed(const Desktop& desktop) const { return !name(desktop).empty(); }
  // The one text every surface, log line and message shows for a desktop.
  std::string title(const Desktop& desktop) const;
  SpaceIcon icon(const Desktop& desktop) const { return meta(desktop).icon; }
  TileColor color(const Desktop& desktop) const { return meta(desktop).color; }
  bool isTransparent(const Desktop& desktop) const {
    return color(desktop).kind() == TileColor::Kind::Transparent;
  }
  RGBColor tint(const Desktop& desktop) const;
  // The desktop's own shortcut, else the digit shortcut of desktops 1–10 when those are on.
  std::optional<Hotkey> shortcut(const Desktop& desktop) const;

 private:
  const SpaceStore& store_;
  const Settings& settings_;
};

}  // namespace velmora
