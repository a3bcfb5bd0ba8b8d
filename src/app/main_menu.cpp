#include "app/main_menu.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <limits>

namespace velmora {
namespace {

// Full Unicode lower-casing, as the text of a link may be anything the user typed.
std::string lowercased(std::string_view text) {
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) return {};
  icu::UnicodeString u = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  std::string out;
  u.toLower(icu::Locale::getRoot()).toUTF8String(out);
  return out;
}

MenuItem command(std::string title, std::string key, std::string action,
                 MenuTarget target = MenuTarget::firstResponder) {
  bool capital = key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z';
  return MenuItem{
      false, std::move(title), std::move(key), KeyModifiers{true, capital}, std::move(action),
      target};
}

MenuItem separator() {
  MenuItem item;
  item.separator = true;
  return item;
}

}  // namespace

std::string_view settingsPageID(SettingsPage page) {
  switch (page) {
    case SettingsPage::spaces:
      return "spaces";
    case SettingsPage::missionControl:
      return "missionControl";
    case SettingsPage::switchTag:
      return "switchTag";
    case SettingsPage::spaceHover:
      return "spaceHover";
    case SettingsPage::shortcuts:
      return "shortcuts";
    case SettingsPage::timeTracking:
      return "timeTracking";
    case SettingsPage::general:
      return "general";
    case SettingsPage::about:
      return "about";
  }
  return {};
}

std::optional<SettingsPage> settingsPageWithID(std::string_view id) {
  std::string wanted = lowercased(id);
  for (SettingsPage page : kSettingsPages) {
    if (lowercased(settingsPageID(page)) == wanted) return page;
  }
  return std::nullopt;
}

MainMenu MainMenu::standard() {
  MainMenu menu;
  menu.menus.push_back(
      Menu{"Velmora",
           {
               command("Settings…", ",", "showSettingsFromMenu", MenuTarget::delegate),
               separator(),
               command("Quit Velmora", "q", "terminate:", MenuTarget::application),
           }});
  menu.menus.push_back(Menu{"Edit",
                            {
                                command("Undo", "z", "undo:"),
                                command("Redo", "Z", "redo:"),
                                separator(),
                                command("Cut", "x", "cut:"),
                                command("Copy", "c", "copy:"),
                                command("Paste", "v", "paste:"),
                                command("Select All", "a", "selectAll:"),
                            }});
  menu.menus.push_back(Menu{"Window",
                            {
                                command("Close", "w", "performClose:"),
                                command("Minimize", "m", "performMiniaturize:"),
                            }});
  return menu;
}

const MenuItem* MainMenu::item(std::string_view menu, std::string_view title) const {
  for (const Menu& m : menus) {
    if (m.title != menu) continue;
    for (const MenuItem& i : m.items) {
      if (!i.separator && i.title == title) return &i;
    }
  }
  return nullptr;
}

}  // namespace velmora
