#pragma once
// Counted time leaves Velmora as a CSV file the user places with the save panel: one line per
// desktop that exists now, under the title every surface shows, so presentation mode exports
// numbers only while the seconds stay exact.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/save_panel.h"
#include "spaces/desktop.h"
#include "spaces/presentation.h"
#include "store/space_store.h"

namespace velmora {

inline constexpr const char* kTimeExportName = "Velmora time.csv";

// What the save panel is asked: the proposed file name, comma-separated text only.
platform::SavePanelRequest timeExportRequest();

// The file's text: "desktop,name,seconds,hours", then a line per desktop in the given order,
// the title quoted with its quotes doubled, whole seconds (truncated) and hours to two places.
std::string timeCSV(const std::vector<Desktop>& desktops, const SpaceStore& store,
                    const DesktopPresentation& presentation);

// The same totals as rows of the settings window's table: the title, then hours and minutes
// ("2 h 05 min", "12 min", "0 min").
std::vector<std::vector<std::string>> timeRows(const std::vector<Desktop>& desktops,
                                               const SpaceStore& store,
                                               const DesktopPresentation& presentation);

// The one sentence the user reads when the file could not be written there, with the
// system's reason.
std::string timeExportFailure(const std::filesystem::path& location, const std::string& reason);

struct TimeExportOutcome {
  enum class Kind { saved, cancelled, failed };
  Kind kind = Kind::cancelled;
  std::filesystem::path location;
  std::string sentence;  // why it failed
};

}  // namespace velmora
