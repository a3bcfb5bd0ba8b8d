#pragma once
// The application's main menu, as data. Velmora is a menu-bar accessory, so the menu bar never
// shows it; it exists so the settings window gets the usual editing keys (⌘Z, ⌘C, ⌘V, …),
// ⌘, and ⌘Q. The macOS glue turns it into NSMenus; the settings pages it opens are listed here
// too, as links name them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/menus.h"
#include "store/settings_page.h"

namespace velmora {

// The page's id, as links name it ("velmora://settings/timeTracking").
std::string_view settingsPageID(SettingsPage page);
// The page whose id equals `id`, both lower-cased; none for an unknown id.
std::optional<SettingsPage> settingsPageWithID(std::string_view id);

using platform::KeyModifiers;
using platform::Menu;
using platform::MenuItem;
using platform::MenuTarget;

struct MainMenu {
  // The menus in menu-bar order: "Velmora", "Edit", "Window".
  static MainMenu standard();

  // The item with this title in the menu with this title, or null.
  const MenuItem* item(std::string_view menu, std::string_view title) const;

  std::vector<Menu> menus;
};

}  // namespace velmora
