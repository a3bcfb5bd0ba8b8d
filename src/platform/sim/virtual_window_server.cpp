#include "platform/sim/virtual_window_server.h"

#include <algorithm>
#include <utility>

namespace velmora::sim {

namespace {

constexpr platform::ConnectionID kConnection = 0x2A03;
constexpr std::int32_t kCGErrorFailure = 1000;
constexpr double kDockWindowHeight = 70;

Value spaceDictionary(const SimSpace& space) {
  Value::Dictionary d;
  d.emplace("id64", Value(space.id));
  d.emplace("ManagedSpaceID", Value(space.managedID));
  d.emplace("type", Value(space.type));
  d.emplace("uuid", Value(space.uuid));
  return Value(std::move(d));
}

}  // namespace

// ---- Building a world ----

SimDisplay& VirtualWindowServer::addDisplay(const std::string& uuid, ScreenRect frame,
                                            double backingScale,
                                            std::optional<std::uint32_t> displayNumber) {
  SimDisplay d;
  d.uuid = uuid;
  d.frame = frame;
  d.backingScale = backingScale;
  d.displayNumber = machine_.takeDisplayNumber(displayNumber);
  machine_.displays.push_back(std::move(d));
  if (machine_.activeMenuBarDisplay.empty()) machine_.activeMenuBarDisplay = uuid;
  std::uint64_t first = addSpace(uuid, kSpaceTypeDesktop, std::nullopt);
  machine_.displays.back().currentSpaceID = first;
  machine_.layoutChanged();
  return machine_.displays.back();
}

std::uint64_t VirtualWindowServer::addSpace(const std::string& displayUUID, std::int64_t type,
                                            std::optional<std::int64_t> managedID) {
  SimDisplay* d = machine_.findDisplay(displayUUID);
  if (!d) return 0;
  d->spaces.push_back(machine_.makeSpace(type, managedID));
  machine_.layoutChanged();
  return d->spaces.back().id;
}

std::int64_t VirtualWindowServer::addWindow(pid_t owner, std::vector<std::uint64_t> spaces,
                                            AXRect bounds, std::int32_t layer, std::string title,
                                            bool behindPeers) {
  SimWindow w;
  w.number = machine_.takeWindowNumber();
  w.owner = owner;
  w.layer = layer;
  w.bounds = bounds;
  w.spaces = std::move(spaces);
  w.title = std::move(title);
  std::int64_t number = w.number;
  machine_.insertWindow(std::move(w), behindPeers);
  return number;
}

void VirtualWindowServer::addFurniture(pid_t dockPID) {
  if (furnished_) return;
  furnished_ = true;
  furnish(dockPID);
}

void VirtualWindowServer::furnish(pid_t dockPID) {
  if (machine_.displays.empty()) return;
  // On every space, as the window server's own windows are.
  auto add = [&](pid_t owner, AXRect bounds, std::int32_t layer, std::string title,
                 bool behindPeers) {
    furnitureWindows_.push_back(addWindow(owner, {}, bounds, layer, std::move(title), behindPeers));
  };
  for (const auto& d : machine_.displays) {
    AXRect frame = machine_.axFrame(d);
    add(kWindowServerPID,
        AXRect::make(frame.minX(), frame.minY(), frame.size.width, d.menuBarHeight), kLayerMainMenu,
        "Menubar", false);
    add(kWindowServerPID, frame, kLayerDesktop,
        "Desktop Picture - " + (d.name.empty() ? d.uuid : d.name), true);
  }
  // The Dock keeps a screen-sized window on every display, as the real one does for the
  // wallpaper; Mission Control adds its own above them.
  for (const auto& d : machine_.displays) {
    add(dockPID, machine_.axFrame(d), kLayerDockWallpaper, "Wallpaper-" + d.uuid, true);
  }
  // The Dock starts behind the applications' windows; windows opened later go in front of it.
  const SimDisplay& main = machine_.displays.front();
  AXRect frame = machine_.axFrame(main);
  double height = main.dockHeight > 0 ? main.dockHeight : kDockWindowHeight;
  add(dockPID, AXRect::make(frame.minX(), frame.maxY() - height, frame.size.width, height),
      kLayerDock, "Dock", true);
}

std::optional<pid_t> VirtualWindowServer::unfurnish() {
  std::optional<pid_t> dock;
  std::erase_if(machine_.windows, [&](const SimWindow& w) {
    bool furniture = std::find(furnitureWindows_.begin(), furnitureWindows_.end(), w.number) !=
                     furnitureWindows_.end();
    if (furniture && w.layer == kLayerDock) dock = w.owner;
    return furniture;
  });
  furnitureWindows_.clear();
  return dock;
}

// ---- What the user does ----

void VirtualWindowServer::switchTo(std::uint64_t spaceID) {
  SimDisplay* d = nullptr;
  if (!machine_.findSpace(spaceID, &d)) return;
  bool changed = d->currentSpaceID != spaceID || machine_.activeMenuBarDisplay != d->uuid;
  d->currentSpaceID = spaceID;
  machine_.activeMenuBarDisplay = d->uuid;
  machine_.layoutChanged();
  if (changed) machine_.postLater(kActiveSpaceDidChange);
}

void VirtualWindowServer::removeSpace(std::uint64_t spaceID) {
  SimDisplay* d = nullptr;
  if (!machine_.findSpace(spaceID, &d)) return;
  auto& spaces = d->spaces;
  auto it = std::find_if(spaces.begin(), spaces.end(),
                         [&](const SimSpace& s) { return s.id == spaceID; });
  auto refuge = std::find_if(spaces.begin(), spaces.end(), [&](const SimSpace& s) {
    return s.type == kSpaceTypeDesktop && s.id != spaceID;
  });
  if (refuge == spaces.end()) return;
  std::uint64_t refugeID = refuge->id;
  for (auto& w : machine_.windows) {
    auto on = std::find(w.spaces.begin(), w.spaces.end(), spaceID);
    if (on == w.spaces.end()) continue;
    w.spaces.erase(on);
    if (std::find(w.spaces.begin(), w.spaces.end(), refugeID) == w.spaces.end()) {
      w.spaces.push_back(refugeID);
    }
  }
  bool wasCurrent = d->currentSpaceID == spaceID;
  std::size_t index = static_cast<std::size_t>(it - spaces.begin());
  spaces.erase(it);
  if (wasCurrent) d->currentSpaceID = spaces[index > 0 ? index - 1 : 0].id;
  machine_.layoutChanged();
  if (wasCurrent) machine_.postLater(kActiveSpaceDidChange);
}

std::uint64_t VirtualWindowServer::enterFullScreen(std::int64_t windowNumber) {
  SimWindow* w = machine_.findWindow(windowNumber);
  if (!w || w->spaces.empty() || !machine_.isRunning(w->owner)) return 0;
  SimDisplay* d = nullptr;
  if (!machine_.findSpace(w->spaces.front(), &d)) return 0;
  auto after = std::find_if(d->spaces.begin(), d->spaces.end(),
                            [&](const SimSpace& s) { return s.id == w->spaces.front(); });
  SimSpace s = machine_.makeSpace(kSpaceTypeFullScreen);
  s.fullScreenOwner = w->owner;
  std::uint64_t id = s.id;
  d->spaces.insert(after + 1, std::move(s));
  w->spaces = {id};
  w->bounds = machine_.axFrame(*d);
  d->currentSpaceID = id;
  machine_.activeMenuBarDisplay = d->uuid;
  // The window the user made full screen is the front one, and its application frontmost.
  machine_.frontmost = w->owner;
  SimWindow moved = std::move(*w);
  machine_.windows.erase(machine_.windows.begin() + (w - machine_.windows.data()));
  machine_.insertWindow(std::move(moved));
  machine_.layoutChanged();
  machine_.postLater(kActiveSpaceDidChange);
  return id;
}

SimDisplay& VirtualWindowServer::attachDisplay(const std::string& uuid, ScreenRect frame,
                                               double backingScale) {
  addDisplay(uuid, frame, backingScale, std::nullopt);
  if (furnished_) {
    std::optional<pid_t> dock = unfurnish();
    furnish(dock.value_or(kDockPID));
  }
  machine_.postLater(kScreenParametersDidChange);
  return machine_.displays.back();
}

void VirtualWindowServer::detachDisplay(const std::string& uuid) {
  auto& displays = machine_.displays;
  auto it = std::find_if(displays.begin(), displays.end(),
                         [&](const SimDisplay& d) { return d.uuid == uuid; });
  if (it == displays.end() || displays.size() < 2) return;
  std::optional<pid_t> dock = furnished_ ? unfurnish() : std::nullopt;

  double oldMainHeight = machine_.mainDisplayHeight();
  AXRect goneFrame = machine_.axFrame(*it);
  SimDisplay gone = std::move(*it);
  displays.erase(it);

  // Losing the main display makes the next one main, with its origin at 0,0; everything in
  // window-list coordinates shifts with it.
  SimDisplay& main = displays.front();
  if (main.frame.origin != ScreenPoint{}) {
    AXPoint axShift = toAX(main.frame, oldMainHeight).origin;
    ScreenPoint shift = main.frame.origin;
    for (auto& d : displays) {
      d.frame.origin.x -= shift.x;
      d.frame.origin.y -= shift.y;
    }
    for (auto& w : machine_.windows) {
      w.bounds.origin.x -= axShift.x;
      w.bounds.origin.y -= axShift.y;
    }
    goneFrame.origin.x -= axShift.x;
    goneFrame.origin.y -= axShift.y;
  }
  AXRect mainFrame = machine_.axFrame(main);

  // The windows that were on the detached display reappear at the same place on the main one.
  for (auto& w : machine_.windows) {
    if (w.spaces.empty()) continue;
    bool wasThere = std::any_of(gone.spaces.begin(), gone.spaces.end(),
                                [&](const SimSpace& s) { return s.id == w.spaces.front(); });
    if (!wasThere) continue;
    double x = mainFrame.minX() + (w.bounds.minX() - goneFrame.minX());
    double y = mainFrame.minY() + (w.bounds.minY() - goneFrame.minY());
    x = std::clamp(x, mainFrame.minX(),
                   std::max(mainFrame.minX(), mainFrame.maxX() - w.bounds.size.width));
    y = std::clamp(y, mainFrame.minY(),
                   std::max(mainFrame.minY(), mainFrame.maxY() - w.bounds.size.height));
    w.bounds.origin = {x, y};
  }
  for (auto& s : gone.spaces) main.spaces.push_back(std::move(s));
  if (machine_.activeMenuBarDisplay == uuid) machine_.activeMenuBarDisplay = main.uuid;
  if (furnished_) furnish(dock.value_or(kDockPID));
  machine_.layoutChanged();
  machine_.postLater(kScreenParametersDidChange);
  machine_.postLater(kActiveSpaceDidChange);
}

void VirtualWindowServer::setActiveMenuBarDisplay(const std::string& uuid) {
  if (machine_.findDisplay(uuid)) machine_.activeMenuBarDisplay = uuid;
  machine_.menuBarMayMove();
}

std::int64_t VirtualWindowServer::openWindow(pid_t owner, AXRect bounds) {
  const SimDisplay* d = machine_.findDisplay(machine_.activeMenuBarDisplay);
  if (!d || !d->currentSpaceID || !machine_.isRunning(owner)) return 0;
  return addWindow(owner, {d->currentSpaceID}, bounds, kLayerNormal, {});
}

void VirtualWindowServer::closeWindow(std::int64_t windowNumber) {
  std::erase_if(machine_.windows, [&](const SimWindow& w) { return w.number == windowNumber; });
}

// ---- Misbehaviour ----

void VirtualWindowServer::failSetCurrentSpace(std::int32_t status) {
  if (status == 0) {
    setCurrentSpaceFailure_.reset();
  } else {
    setCurrentSpaceFailure_ = status;
  }
}

void VirtualWindowServer::ignoreSwitchCalls(std::optional<int> count) {
  ignoreAllSwitches_ = !count;
  switchesToIgnore_ = count ? std::max(0, *count) : 0;
}

bool VirtualWindowServer::ignoresThisSwitch() {
  if (ignoreAllSwitches_) return true;
  if (switchesToIgnore_ == 0) return false;
  --switchesToIgnore_;
  return true;
}

// ---- platform::WindowServer ----

platform::ConnectionID VirtualWindowServer::mainConnectionID() {
  machine_.countCall("SLSMainConnectionID");
  return kConnection;
}

Value VirtualWindowServer::copyManagedDisplaySpaces(platform::ConnectionID) {
  machine_.countCall("SLSCopyManagedDisplaySpaces");
  if (spacesOverride_) return *spacesOverride_;
  if (!machine_.layoutAnswer) {
    Value::Array answer;
    answer.reserve(machine_.displays.size());
    for (const auto& d : machine_.displays) {
      Value::Array spaces;
      spaces.reserve(d.spaces.size());
      const SimSpace* current = nullptr;
      for (const auto& s : d.spaces) {
        spaces.push_back(spaceDictionary(s));
        if (s.id == d.currentSpaceID) current = &s;
      }
      Value::Dictionary entry;
      entry.emplace("Display Identifier", Value(d.uuid));
      if (current) entry.emplace("Current Space", spaceDictionary(*current));
      entry.emplace("Spaces", Value(std::move(spaces)));
      answer.emplace_back(std::move(entry));
    }
    machine_.layoutAnswer = Value(std::move(answer));
  }
  return *machine_.layoutAnswer;
}

std::int32_t VirtualWindowServer::managedDisplaySetCurrentSpace(platform::ConnectionID,
                                                                const std::string& displayUUID,
                                                                std::uint64_t spaceID) {
  machine_.countCall("SLSManagedDisplaySetCurrentSpace");
  if (setCurrentSpaceFailure_) return *setCurrentSpaceFailure_;
  SimDisplay* d = nullptr;
  if (!machine_.findSpace(spaceID, &d) || d->uuid != displayUUID) return kCGErrorFailure;
  if (d->currentSpaceID == spaceID || ignoresThisSwitch()) return 0;
  d->currentSpaceID = spaceID;
  machine_.layoutChanged();
  if (directSwitchPosts_) machine_.postLater(kActiveSpaceDidChange);
  return 0;
}

Value VirtualWindowServer::copyActiveMenuBarDisplayIdentifier(platform::ConnectionID) {
  machine_.countCall("SLSCopyActiveMenuBarDisplayIdentifier");
  if (machine_.activeMenuBarDisplay.empty()) return nullptr;
  return Value(machine_.activeMenuBarDisplay);
}

Value VirtualWindowServer::spaceCopyName(platform::ConnectionID, std::uint64_t spaceID) {
  machine_.countCall("SLSSpaceCopyName");
  const SimSpace* s = machine_.findSpace(spaceID);
  if (!s || !s->name) return nullptr;
  return Value(*s->name);
}

Value VirtualWindowServer::copyWindowsWithOptionsAndTags(platform::ConnectionID, std::int32_t,
                                                         const Value& spaces, std::uint32_t,
                                                         std::uint64_t&, std::uint64_t&) {
  machine_.countCall("SLSCopyWindowsWithOptionsAndTags");
  const Value::Array* ids = spaces.asArray();
  if (!ids) return nullptr;
  std::vector<std::uint64_t> wanted;
  for (const auto& v : *ids) {
    auto id = v.asUInt64();
    if (!id || !machine_.findSpace(*id)) return nullptr;
    wanted.push_back(*id);
  }
  Value::Array numbers;
  for (const auto& w : machine_.windows) {
    bool on = std::any_of(w.spaces.begin(), w.spaces.end(), [&](std::uint64_t s) {
      return std::find(wanted.begin(), wanted.end(), s) != wanted.end();
    });
    if (on) numbers.emplace_back(w.number);
  }
  return Value(std::move(numbers));
}

void VirtualWindowServer::moveWindowsToManagedSpace(platform::ConnectionID, const Value& windows,
                                                    std::uint64_t spaceID) {
  machine_.countCall("SLSMoveWindowsToManagedSpace");
  const Value::Array* numbers = windows.asArray();
  if (!numbers || !machine_.findSpace(spaceID)) return;
  for (const auto& v : *numbers) {
    auto number = v.asInteger();
    if (SimWindow* w = number ? machine_.findWindow(*number) : nullptr) w->spaces = {spaceID};
  }
}

Value VirtualWindowServer::windowListCopyWindowInfo(std::uint32_t options, std::uint32_t) {
  machine_.countCall("CGWindowListCopyWindowInfo");
  if (windowListOverride_) return *windowListOverride_;
  bool onScreenOnly = options & platform::kWindowListOptionOnScreenOnly;
  bool noDesktop = options & platform::kWindowListExcludeDesktopElements;
  Value::Array list;
  list.reserve(machine_.windows.size());
  for (const auto& w : machine_.windows) {
    bool onScreen = machine_.isOnScreen(w);
    if (onScreenOnly && !onScreen) continue;
    if (noDesktop && w.layer <= kLayerDesktop) continue;
    const SimApp* app = machine_.findApp(w.owner);
    Value::Dictionary entry;
    entry.emplace(platform::kWindowNumber, Value(w.number));
    entry.emplace(platform::kWindowLayer, Value(w.layer));
    entry.emplace(platform::kWindowBounds, Value::dictionary({{"X", w.bounds.origin.x},
                                                              {"Y", w.bounds.origin.y},
                                                              {"Width", w.bounds.size.width},
                                                              {"Height", w.bounds.size.height}}));
    entry.emplace(platform::kWindowOwnerPID, Value(w.owner));
    if (app && app->name) entry.emplace(platform::kWindowOwnerName, Value(*app->name));
    if (onScreen) entry.emplace(platform::kWindowIsOnscreen, Value(true));
    list.emplace_back(std::move(entry));
  }
  return Value(std::move(list));
}

}  // namespace velmora::sim
