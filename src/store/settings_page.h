#pragma once
// The settings window's pages, in the order the window lists them. Every option of Settings
// lives on one of them; links and the surfaces name a page to open.
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
