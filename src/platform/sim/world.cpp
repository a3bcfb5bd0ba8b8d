#include "platform/sim/world.h"

#include <algorithm>
#include <exception>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/sim/world_reader.h"

namespace velmora::sim {

namespace {

using world::AppRef;
using world::SpacePlan;
using world::WorldError;
using world::WorldPlan;

constexpr Size kDefaultWindowSize{800, 600};
constexpr const char* kSymbolicHotKeysDomain = "com.apple.symbolichotkeys";
constexpr pid_t kReservedFurniturePIDs[] = {kWindowServerPID, kDockPID};

// ---- Checking the description against itself and the machine ----

// Resolves a reference to an index into plan.apps, or to a pid already running on the mac.
struct ResolvedApp {
  std::optional<std::size_t> planIndex;
  pid_t pid = 0;
};

ResolvedApp resolve(const AppRef& ref, const WorldPlan& plan, const VirtualMac& mac) {
  for (std::size_t i = 0; i < plan.apps.size(); ++i) {
    const SimApp& app = plan.apps[i].app;
    if ((ref.name && app.name == ref.name) || (ref.pid && app.pid == *ref.pid)) {
      return ResolvedApp{i, app.pid};
    }
  }
  if (ref.pid && mac.application(*ref.pid)) return ResolvedApp{std::nullopt, *ref.pid};
  throw WorldError{ref.path, ref.name ? "no application is named \"" + *ref.name + "\""
                                      : "no application has pid " + std::to_string(*ref.pid)};
}

void check(const WorldPlan& plan, const VirtualMac& mac) {
  std::set<std::string> uuids;
  for (std::size_t i = 0; i < plan.displays.size(); ++i) {
    const auto& d = plan.displays[i];
    std::string path = "displays/" + std::to_string(i) + "/uuid";
    if (!uuids.insert(d.uuid).second || mac.display(d.uuid)) {
      throw WorldError{path, "the display uuid \"" + d.uuid + "\" is used twice"};
    }
  }
  std::set<pid_t> pids;
  for (std::size_t i = 0; i < plan.apps.size(); ++i) {
    pid_t pid = plan.apps[i].app.pid;
    if (pid == 0) continue;
    std::string path = "apps/" + std::to_string(i) + "/pid";
    bool furniture = plan.furniture &&
                     std::find(std::begin(kReservedFurniturePIDs), std::end(kReservedFurniturePIDs),
                               pid) != std::end(kReservedFurniturePIDs);
    if (!pids.insert(pid).second || mac.application(pid) || furniture) {
      throw WorldError{path, "pid " + std::to_string(pid) + " is already taken"};
    }
  }
  if (plan.activeMenuBar && !uuids.count(plan.activeMenuBar->first)) {
    throw WorldError{plan.activeMenuBar->second,
                     "no display has the uuid \"" + plan.activeMenuBar->first + "\""};
  }
  for (const auto& d : plan.displays) {
    for (const auto& s : d.spaces) {
      if (s.owner) resolve(*s.owner, plan, mac);
    }
  }
  if (plan.frontmost) resolve(*plan.frontmost, plan, mac);
}

// ---- Building it ----

void build(const WorldPlan& plan, VirtualMac& mac) {
  // Applications with a pid of their own first, so an assigned pid never takes one of theirs.
  std::vector<pid_t> pids(plan.apps.size());
  for (bool explicitPID : {true, false}) {
    for (std::size_t i = 0; i < plan.apps.size(); ++i) {
      if ((plan.apps[i].app.pid != 0) == explicitPID)
        pids[i] = mac.addApplication(plan.apps[i].app);
    }
  }
  auto pidOf = [&](const AppRef& ref) {
    ResolvedApp r = resolve(ref, plan, mac);
    return r.planIndex ? pids[*r.planIndex] : r.pid;
  };

  // Displays without a frame line up to the right of the others, tops aligned.
  std::vector<std::vector<std::uint64_t>> spaceIDs;
  for (const auto& p : plan.displays) {
    ScreenRect frame;
    if (p.frame) {
      frame = *p.frame;
    } else if (mac.displays().empty()) {
      frame = ScreenRect::make(0, 0, p.size.width, p.size.height);
    } else {
      double right = 0;
      for (const auto& d : mac.displays()) right = std::max(right, d.frame.maxX());
      double top = mac.displays().front().frame.maxY();
      frame = ScreenRect::make(right, top - p.size.height, p.size.width, p.size.height);
    }
    SimDisplay& d = mac.addDisplay(p.uuid, frame, p.scale, p.number);
    d.name = p.name;
    d.menuBarHeight = p.menuBarHeight;
    d.dockHeight = p.dockHeight;
    d.notch = p.notch;
    std::vector<std::uint64_t> ids;
    for (std::size_t i = 0; i < p.spaces.size(); ++i) {
      const SpacePlan& sp = p.spaces[i];
      if (i > 0) mac.addSpace(p.uuid, sp.type, sp.managedID);
      SimSpace& s = d.spaces.back();
      s.type = sp.type;
      if (sp.managedID) s.managedID = *sp.managedID;
      if (sp.uuid) s.uuid = *sp.uuid;
      s.name = sp.name;
      if (sp.owner) s.fullScreenOwner = pidOf(*sp.owner);
      ids.push_back(s.id);
    }
    d.currentSpaceID = ids[p.current];
    spaceIDs.push_back(std::move(ids));
  }

  double mainHeight = mac.displays().front().frame.size.height;
  for (std::size_t a = 0; a < plan.apps.size(); ++a) {
    for (const auto& w : plan.apps[a].windows) {
      std::vector<std::uint64_t> spaces;
      if (!w.everySpace) spaces.push_back(spaceIDs[w.display][w.space]);
      AXRect bounds;
      if (w.bounds) {
        bounds = *w.bounds;
      } else {
        // A full-screen window fills its display; others open near its top-left corner.
        const SimDisplay& d = *mac.display(plan.displays[w.display].uuid);
        AXRect screen = toAX(d.frame, mainHeight);
        bool fullScreen =
            !w.everySpace && plan.displays[w.display].spaces[w.space].type == kSpaceTypeFullScreen;
        bounds = fullScreen ? screen
                            : AXRect::make(screen.minX() + 40, screen.minY() + d.menuBarHeight + 40,
                                           kDefaultWindowSize.width, kDefaultWindowSize.height);
      }
      mac.addWindow(pids[a], std::move(spaces), bounds, w.layer, w.title);
    }
  }

  if (plan.activeMenuBar) mac.setActiveMenuBarDisplay(plan.activeMenuBar->first);
  if (plan.trusted) mac.setAccessibilityTrusted(*plan.trusted);
  if (plan.furniture) mac.addSystemFurniture();
  if (plan.switchAnimation) mac.dock().setSwitchAnimation(*plan.switchAnimation);
  if (plan.missionControlAnimation) {
    mac.missionControl().setAnimation(*plan.missionControlAnimation);
  }
  if (plan.menuExtras) mac.menuBar().setExtras(*plan.menuExtras);
  if (plan.systemItemsWidth) mac.menuBar().setSystemWidth(*plan.systemItemsWidth);
  if (plan.macOS) mac.setSystemMajorVersion(*plan.macOS);
  for (std::size_t a = 0; a < plan.apps.size(); ++a) {
    if (plan.apps[a].badge) mac.setDockBadge(pids[a], plan.apps[a].badge);
  }
  if (plan.frontmost) mac.userActivate(pidOf(*plan.frontmost));
  for (const auto& [domain, values] : plan.defaults) {
    for (const auto& [key, value] : values) mac.preferences().setValue(domain, key, value);
  }
  // The Dock read the system's shortcuts when the machine was made; these are the user's.
  if (plan.defaults.count(kSymbolicHotKeysDomain)) mac.dock().reloadShortcuts();
}

}  // namespace

Result<void> loadWorld(VirtualMac& mac, std::string_view jsonText) {
  Result<WorldPlan> plan = world::read(jsonText);
  if (!plan) return Failure{plan.error()};
  try {
    check(*plan, mac);
    build(*plan, mac);
    return {};
  } catch (const WorldError& e) {
    return Failure{world::sentence(plan->lineOf(e.path), e.message)};
  } catch (const std::exception& e) {
    return Failure{world::sentence(0, std::string("could not be read (") + e.what() + ")")};
  }
}

Result<void> loadWorldFile(VirtualMac& mac, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Failure{"Could not open the world file \"" + path + "\"."};
  std::ostringstream text;
  text << in.rdbuf();
  return loadWorld(mac, text.str());
}

}  // namespace velmora::sim
