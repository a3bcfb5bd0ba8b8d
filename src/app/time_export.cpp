#include "app/time_export.h"

#include <cmath>
#include <cstdio>

namespace velmora {

platform::SavePanelRequest timeExportRequest() {
  return platform::SavePanelRequest{kTimeExportName, {platform::kCommaSeparatedTextType}};
}

std::string timeCSV(const std::vector<Desktop>& desktops, const SpaceStore& store,
                    const DesktopPresentation& presentation) {
  std::string text = "desktop,name,seconds,hours\n";
  for (const Desktop& desktop : desktops) {
    // The stored total, not the presented meta: presentation mode hides names, never time.
    double seconds = store.meta(desktop.space.managedID).seconds;
    std::string quoted;
    for (char c : presentation.title(desktop)) {
      if (c == '"') quoted += '"';
      quoted += c;
    }
    char hours[64];
    std::snprintf(hours, sizeof hours, "%.2f", seconds / 3600);
    text += std::to_string(desktop.number) + ",\"" + quoted + "\"," +
            std::to_string(static_cast<long long>(std::trunc(seconds))) + "," + hours + "\n";
  }
  return text;
}

std::vector<std::vector<std::string>> timeRows(const std::vector<Desktop>& desktops,
                                               const SpaceStore& store,
                                               const DesktopPresentation& presentation) {
  std::vector<std::vector<std::string>> rows;
  for (const Desktop& desktop : desktops) {
    auto minutes =
        static_cast<long long>(std::trunc(store.meta(desktop.space.managedID).seconds / 60));
    char time[48];
    if (minutes >= 60) {
      std::snprintf(time, sizeof time, "%lld h %02lld min", minutes / 60, minutes % 60);
    } else {
      std::snprintf(time, sizeof time, "%lld min", minutes);
    }
    rows.push_back({presentation.title(desktop), time});
  }
  return rows;
}

std::string timeExportFailure(const std::filesystem::path& location, const std::string& reason) {
  std::string why = reason.empty() ? std::string("the system gave no reason") : reason;
  while (!why.empty() && (why.back() == '.' || why.back() == ' ')) why.pop_back();
  std::string folder = location.parent_path().filename().string();
  if (folder.empty()) folder = location.parent_path().string();
  return "The time export could not be saved as \"" + location.filename().string() + "\" in \"" +
         folder + "\" (" + why + ").";
}

}  // namespace velmora
