#pragma once
// Reading a world file: the JSON (comments allowed) checked field by field into a plan of the
// machine it describes, with the line every value sits on, so a rejection names the line and
// the field. world.cpp checks the plan against the machine and builds it.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/geometry.h"
#include "core/result.h"
#include "core/value.h"
#include "platform/sim/machine.h"
#include "platform/sim/virtual_menu_bar.h"

namespace velmora::sim::world {

inline constexpr Size kDefaultDisplaySize{1512, 982};

// A rejected world: where (a value's path, such as "displays/0/frame") and what, as the
// second half of a sentence. Thrown only while a file is read or checked, and caught there.
struct WorldError {
  std::string path;
  std::string message;
};

// ---- What the file describes ----

// An application named in the file, by name or pid.
struct AppRef {
  std::string path;
  std::optional<std::string> name;
  std::optional<pid_t> pid;
};

struct SpacePlan {
  std::int64_t type = kSpaceTypeDesktop;
  std::optional<std::int64_t> managedID;
  std::optional<std::string> name;
  std::optional<std::string> uuid;
  std::optional<AppRef> owner;
};

struct DisplayPlan {
  std::string uuid;
  std::optional<ScreenRect> frame;
  Size size = kDefaultDisplaySize;
  double scale = 2;
  double menuBarHeight = 24;
  double dockHeight = 0;
  std::string name;
  std::optional<std::uint32_t> number;
  std::optional<Size> notch;
  std::vector<SpacePlan> spaces;
  std::size_t current = 0;
};

struct WindowPlan {
  bool everySpace = false;
  std::size_t display = 0;
  std::size_t space = 0;
  std::optional<AXRect> bounds;
  std::int32_t layer = kLayerNormal;
  std::string title;
};

struct AppPlan {
  SimApp app;
  std::optional<std::string> badge;  // on its Dock icon
  std::vector<WindowPlan> windows;
};

struct WorldPlan {
  // The line of every value, by its path.
  std::map<std::string, int> lines;
  std::vector<DisplayPlan> displays;
  std::vector<AppPlan> apps;
  std::optional<std::pair<std::string, std::string>> activeMenuBar;  // uuid, path
  std::optional<AppRef> frontmost;
  std::optional<bool> trusted;
  bool furniture = true;
  std::optional<double> switchAnimation;
  std::optional<double> missionControlAnimation;
  std::optional<std::vector<SimMenuExtra>> menuExtras;
  std::optional<double> systemItemsWidth;
  std::optional<int> macOS;
  // Preferences by domain, written before Velmora starts (its settings, the system's
  // desktop shortcuts).
  std::map<std::string, Value::Dictionary> defaults;

  int lineOf(const std::string& path) const {
    auto it = lines.find(path);
    return it == lines.end() ? 0 : it->second;
  }
};

// The sentence the user reads for a rejection at `line` (0 when no line is known).
std::string sentence(int line, const std::string& message);

// The plan the text describes, or the sentence that rejects it.
Result<WorldPlan> read(std::string_view jsonText);

}  // namespace velmora::sim::world
