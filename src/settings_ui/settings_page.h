#pragma once
// The settings window's pages, in the order the window lists them.
#include <array>

namespace velmora {

enum class SettingsPage {
  spaces,
  missionControl,
  switchTag,
  spaceHover,
  shortcuts,
  timeTracking,
  general,
  about,
};

inline constexpr std::array<SettingsPage, 8> kSettingsPages{
    SettingsPage::spaces,     SettingsPage::missionControl, SettingsPage::switchTag,
    SettingsPage::spaceHover, SettingsPage::shortcuts,      SettingsPage::timeTracking,
    SettingsPage::general,    SettingsPage::about,
};

}  // namespace velmora
