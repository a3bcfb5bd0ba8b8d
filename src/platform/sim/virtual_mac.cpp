#include "platform/sim/virtual_mac.h"

#include <stdlib.h>

#include <cstdlib>

#include "platform/linux/plist_preferences.h"
#include "platform/sim/us_keyboard_layout.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

namespace velmora::sim {

namespace {

constexpr const char* kActiveSpaceDidChange = "NSWorkspaceActiveSpaceDidChangeNotification";
constexpr const char* kScreenParametersDidChange =
    "NSApplicationDidChangeScreenParametersNotification";

constexpr platform::ConnectionID kConnection = 0x2A03;
constexpr std::int32_t kCGErrorFailure = 1000;
constexpr std::uint32_t kAnyInputEventType = 0xFFFFFFFF;
// CGEventSourceSecondsSinceLastEventType for a type never produced: the machine has been up
// far longer than anything the loop has seen.
constexpr double kUptimeBeforeLoop = 100000;
// NSApplicationActivateAllWindows.
constexpr unsigned kActivateAllWindows = 1;

constexpr pid_t kWindowServerPID = 300;
constexpr const char* kKillall = "/usr/bin/killall";
constexpr double kDockWindowHeight = 70;

// A file URL as the Dock answers "AXURL" for a bundle: percent-encoded, with the trailing
// slash of a folder.
std::string fileURL(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (unsigned char c : path) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '/' || c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 0xF];
    }
  }
  if (url.back() != '/') url += '/';
  return url;
}

// RFC 3986: a scheme is a letter followed by letters, digits, "+", "-" or "."; and a URL has
// no spaces or control characters.
bool formsURL(const std::string& text) {
  auto colon = text.find(':');
  if (colon == std::string::npos || colon == 0 ||
      !std::isalpha(static_cast<unsigned char>(text[0])))
    return false;
  for (std::size_t i = 1; i < colon; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return std::none_of(text.begin(), text.end(),
                      [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7F; });
}

// Window-server space uuids look like any other UUID; derived from the id so runs repeat.
std::string spaceUUID(std::uint64_t id) {
  auto mix = [](std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
  };
  std::uint64_t hi = mix(id), lo = mix(hi ^ id);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%08llX-%04llX-4%03llX-%04llX-%012llX",
                static_cast<unsigned long long>(hi >> 32),
                static_cast<unsigned long long>((hi >> 16) & 0xFFFF),
                static_cast<unsigned long long>(hi & 0xFFF),
                static_cast<unsigned long long>(0x8000 | ((lo >> 48) & 0x3FFF)),
                static_cast<unsigned long long>(lo & 0xFFFFFFFFFFFFull));
  return buf;
}

Value spaceDictionary(const SimSpace& space) {
  Value::Dictionary d;
  d.emplace("id64", Value(space.id));
  d.emplace("ManagedSpaceID", Value(space.managedID));
  d.emplace("type", Value(space.type));
  d.emplace("uuid", Value(space.uuid));
  return Value(std::move(d));
}

// The window list keeps the menu bar and status items in front of everything and the desktop
// picture behind everything; all other windows share one stack ordered by recency.
std::int64_t stackRank(std::int32_t layer) {
  return layer >= kLayerMainMenu || layer <= kLayerDesktop ? layer : 0;
}

platform::RunningApplication describeApp(const SimApp& app) {
  platform::RunningApplication r;
  r.pid = app.pid;
  r.localizedName = app.name;
  r.bundleIdentifier = app.bundleIdentifier;
  r.bundlePath = app.bundlePath;
  r.activationPolicy = app.policy;
  if (app.bundleIdentifier) {
    r.icon = platform::AppIcon{*app.bundleIdentifier};
  } else if (app.bundlePath) {
    r.icon = platform::AppIcon{*app.bundlePath};
  }
  r.terminated = app.terminated;
  return r;
}

}  // namespace

namespace {

std::filesystem::path makeTemporaryHome() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velmora-home-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    // Nothing sensible can run without a home; say why and stop rather than touch the real one.
    std::fprintf(stderr, "the virtual Mac could not make a home folder at %s\n", pattern.c_str());
    std::abort();
  }
  return pattern;
}

}  // namespace

VirtualMac::VirtualMac(MainLoop& loop, std::optional<std::filesystem::path> home)
    : VirtualMac(loop, std::make_unique<PlainHost>(), std::nullopt, std::move(home)) {}

VirtualMac::VirtualMac(MainLoop& loop, linuxhost::HostServices host,
                       std::optional<std::filesystem::path> home)
    : VirtualMac(loop, nullptr, host, std::move(home)) {}

VirtualMac::VirtualMac(MainLoop& loop, std::unique_ptr<PlainHost> plain,
                       std::optional<linuxhost::HostServices> host,
                       std::optional<std::filesystem::path> home)
    : loop_(loop),
      plainHost_(std::move(plain)),
      host_(host ? *host : plainHost_->services()),
      ax_(std::make_shared<AXTree>(loop)),
      home_{home ? *home : makeTemporaryHome()},
      ownsHome_(!home),
      preferences_(std::make_unique<linuxhost::PlistPreferences>(home_.preferences())),
      keyboard_(std::make_unique<USKeyboardLayout>()),
      hotKeys_(std::make_unique<VirtualHotKeys>()) {
  keys_ = std::make_unique<VirtualKeyboard>(
      loop_, *hotKeys_, [this](std::uint32_t type) { userInput(type); },
      [this]() -> std::string {
        const SimApp* front = frontmost_ ? application(*frontmost_) : nullptr;
        return front && front->name ? *front->name : std::string();
      });
  // The Dock is running before anything else happens on the machine.
  dock_ = std::make_unique<VirtualDock>(*this);
  panels_ = std::make_unique<VirtualPanels>(loop_);
  menuBar_ = std::make_unique<VirtualMenuBar>(*this, loop_, host_.canvases, *preferences_,
                                              platform::kAppDomain);
  addApplication(SimApp{kSelfPID, "Velmora", "app.velmora.Velmora", "/Applications/Velmora.app",
                        platform::ActivationPolicy::Accessory, false});
}

VirtualMac::~VirtualMac() {
  if (ownsHome_) {
    std::error_code ignored;
    std::filesystem::remove_all(home_.root, ignored);
  }
}

platform::Platform VirtualMac::platform() {
  return platform::Platform{loop_,          *this,         *this,
                            *this,          *this,         *this,
                            *preferences_,  *keyboard_,    host_.propertyLists,
                            host_.images,   *this,         *this,
                            *this,          *this,         *this,
                            home_,          disks(),       disks(),
                            *keys_,         *hotKeys_,     *keys_,
                            host_.canvases, host_.symbols, *panels_,
                            *menuBar_,      openPanel_,    systemMajorVersion_};
}

// ---- Lookups ----

SimDisplay* VirtualMac::findDisplay(std::string_view uuid) {
  for (auto& d : displays_) {
    if (d.uuid == uuid) return &d;
  }
  return nullptr;
}

SimSpace* VirtualMac::findSpace(std::uint64_t id, SimDisplay** display) {
  for (auto& d : displays_) {
    for (auto& s : d.spaces) {
      if (s.id == id) {
        if (display) *display = &d;
        return &s;
      }
    }
  }
  return nullptr;
}

SimWindow* VirtualMac::findWindow(std::int64_t number) {
  for (auto& w : windows_) {
    if (w.number == number) return &w;
  }
  return nullptr;
}

SimApp* VirtualMac::findApp(pid_t pid) {
  for (auto& a : apps_) {
    if (a.pid == pid) return &a;
  }
  return nullptr;
}

const SimDisplay* VirtualMac::display(const std::string& uuid) const {
  return const_cast<VirtualMac*>(this)->findDisplay(uuid);
}

const SimSpace* VirtualMac::space(std::uint64_t id) const {
  return const_cast<VirtualMac*>(this)->findSpace(id);
}

const SimDisplay* VirtualMac::displayOfSpace(std::uint64_t id) const {
  SimDisplay* d = nullptr;
  const_cast<VirtualMac*>(this)->findSpace(id, &d);
  return d;
}

std::uint64_t VirtualMac::currentSpace(const std::string& displayUUID) const {
  const SimDisplay* d = display(displayUUID);
  return d ? d->currentSpaceID : 0;
}

const SimWindow* VirtualMac::window(std::int64_t number) const {
  return const_cast<VirtualMac*>(this)->findWindow(number);
}

const SimApp* VirtualMac::application(pid_t pid) const {
  return const_cast<VirtualMac*>(this)->findApp(pid);
}

bool VirtualMac::isRunning(pid_t pid) const {
  const SimApp* app = application(pid);
  return app && !app->terminated;
}

bool VirtualMac::isOnScreen(const SimWindow& window) const {
  if (window.spaces.empty()) return true;
  for (const auto& d : displays_) {
    if (std::find(window.spaces.begin(), window.spaces.end(), d.currentSpaceID) !=
        window.spaces.end()) {
      return true;
    }
  }
  return false;
}

double VirtualMac::mainDisplayHeight() const {
  return displays_.empty() ? 0 : displays_.front().frame.size.height;
}

AXRect VirtualMac::axFrame(const SimDisplay& display) const {
  return toAX(display.frame, mainDisplayHeight());
}

int VirtualMac::callCount(const std::string& function) const {
  std::lock_guard lock(callsMutex_);
  auto it = calls_.find(function);
  return it == calls_.end() ? 0 : it->second;
}

void VirtualMac::countCall(std::string_view function) {
  std::lock_guard lock(callsMutex_);
  auto it = calls_.find(function);
  if (it == calls_.end()) {
    calls_.emplace(std::string(function), 1);
  } else {
    ++it->second;
  }
}

void VirtualMac::postLater(const char* notification) {
  loop_.post(lifetime_.guard([this, notification] { workspaceCenter_.post(notification); }));
}

// ---- Building a world ----

SimDisplay& VirtualMac::addDisplay(const std::string& uuid, ScreenRect frame, double backingScale,
                                   std::optional<std::uint32_t> displayNumber) {
  SimDisplay d;
  d.uuid = uuid;
  d.frame = frame;
  d.backingScale = backingScale;
  d.displayNumber = displayNumber.value_or(nextDisplayNumber_);
  nextDisplayNumber_ = std::max(nextDisplayNumber_, d.displayNumber + 1);
  displays_.push_back(std::move(d));
  if (activeMenuBarDisplay_.empty()) activeMenuBarDisplay_ = uuid;
  std::uint64_t first = addSpace(uuid);
  displays_.back().currentSpaceID = first;
  layoutChanged();
  return displays_.back();
}

std::uint64_t VirtualMac::addSpace(const std::string& displayUUID, std::int64_t type,
                                   std::optional<std::int64_t> managedID) {
  SimDisplay* d = findDisplay(displayUUID);
  if (!d) return 0;
  SimSpace s;
  s.id = nextSpaceID_++;
  s.managedID = managedID.value_or(static_cast<std::int64_t>(s.id));
  s.type = type;
  s.uuid = spaceUUID(s.id);
  d->spaces.push_back(std::move(s));
  layoutChanged();
  return d->spaces.back().id;
}

pid_t VirtualMac::addApplication(SimApp app) {
  if (app.pid == 0) {
    while (findApp(nextPID_)) ++nextPID_;
    app.pid = nextPID_++;
  }
  apps_.push_back(std::move(app));
  const SimApp& added = apps_.back();
  if (!added.terminated) {
    ax_->addApplication(added.pid, added.name);
    if (dockList_ && added.policy == platform::ActivationPolicy::Regular) addDockItem(added);
  }
  return added.pid;
}

void VirtualMac::insertWindow(SimWindow window, bool behindPeers) {
  std::int64_t rank = stackRank(window.layer);
  auto pos = std::find_if(windows_.begin(), windows_.end(), [&](const SimWindow& w) {
    std::int64_t r = stackRank(w.layer);
    return behindPeers ? r < rank : r <= rank;
  });
  windows_.insert(pos, std::move(window));
}

std::int64_t VirtualMac::addWindow(pid_t owner, std::vector<std::uint64_t> spaces, AXRect bounds,
                                   std::int32_t layer, std::string title) {
  SimWindow w;
  w.number = nextWindow_++;
  w.owner = owner;
  w.layer = layer;
  w.bounds = bounds;
  w.spaces = std::move(spaces);
  w.title = std::move(title);
  insertWindow(std::move(w));
  return nextWindow_ - 1;
}

void VirtualMac::addSystemFurniture() {
  if (furnished_) return;
  furnished_ = true;
  if (!findApp(kWindowServerPID)) {
    addApplication(SimApp{kWindowServerPID, "Window Server", std::nullopt, std::nullopt,
                          platform::ActivationPolicy::Prohibited, false});
  }
  pid_t dockPID = dock_->pid();
  if (!findApp(dockPID)) {
    addApplication(SimApp{dockPID, "Dock", "com.apple.dock",
                          "/System/Library/CoreServices/Dock.app",
                          platform::ActivationPolicy::Accessory, false});
  }
  furnish();
  buildDockTree();
}

// The Dock's element tree: its icon list with an item for every running application, then
// the separator and the Trash, which are not applications. Badges survive a Dock restart, as
// the applications set them again.
void VirtualMac::buildDockTree() {
  pid_t dockPID = dock_->pid();
  std::map<pid_t, Value> badges;
  ax_->edit([&] {
    for (const auto& [pid, item] : dockItems_) badges[pid] = item->attributes["AXStatusLabel"];
  });
  dockItems_.clear();
  SimAXNodePtr dock = ax_->addApplication(dockPID, "Dock");
  auto list = SimAXNode::make(dockPID, "AXList");
  list->attributes.emplace("AXRoleDescription", Value("list"));
  auto separator = SimAXNode::make(dockPID, "AXDockItem", "AXSeparatorDockItem");
  auto trash = SimAXNode::make(dockPID, "AXDockItem", "AXTrashDockItem");
  trash->attributes.emplace("AXTitle", Value("Trash"));
  trash->attributes.emplace("AXURL", Value(fileURL((home_.root / ".Trash").string())));
  trash->attributes.emplace("AXStatusLabel", Value());
  ax_->edit([&] {
    list->append(separator);
    list->append(trash);
    dock->append(list);
  });
  dockList_ = list;
  for (const auto& app : apps_) {
    if (!app.terminated && app.policy == platform::ActivationPolicy::Regular) addDockItem(app);
  }
  ax_->edit([&] {
    for (const auto& [pid, badge] : badges) {
      auto item = dockItems_.find(pid);
      if (item == dockItems_.end()) continue;
      item->second->attributes.insert_or_assign("AXStatusLabel", badge);
    }
  });
}

pid_t VirtualMac::takeFreePID() {
  while (findApp(nextPID_)) ++nextPID_;
  return nextPID_++;
}

void VirtualMac::dockRelaunched(pid_t oldPID) {
  pid_t pid = dock_->pid();
  SimApp* old = findApp(oldPID);
  if (!old || old->terminated) return;  // not furnished yet: nothing shows the process
  SimApp fresh = *old;
  fresh.pid = pid;
  old->terminated = true;
  ax_->applicationQuit(oldPID);
  apps_.push_back(std::move(fresh));
  for (auto& w : windows_) {
    if (w.owner == oldPID) w.owner = pid;
  }
  if (frontmost_ == oldPID) frontmost_ = pid;
  menuBarMayMove();
  if (dockList_) buildDockTree();
}

void VirtualMac::addDockItem(const SimApp& app) {
  auto item = SimAXNode::make(dock_->pid(), "AXDockItem", "AXApplicationDockItem");
  item->attributes.emplace("AXRoleDescription", Value("application dock item"));
  item->attributes.emplace("AXTitle", Value(app.name.value_or("")));
  if (app.bundlePath) item->attributes.emplace("AXURL", Value(fileURL(*app.bundlePath)));
  item->attributes.emplace("AXIsApplicationRunning", Value(true));
  item->attributes.emplace("AXStatusLabel", Value());
  pid_t pid = app.pid;
  item->actions.emplace("AXPress", lifetime_.guard([this, pid] { userActivate(pid); }));
  item->actions.emplace("AXShowMenu", [] {});
  ax_->edit([&] {
    // Running applications line up before the separator.
    auto& items = dockList_->children;
    auto separator = std::find_if(items.begin(), items.end(), [](const SimAXNodePtr& n) {
      auto sub = n ? n->attributes.find("AXSubrole") : Value::Dictionary::const_iterator{};
      return n && sub != n->attributes.end() && sub->second == Value("AXSeparatorDockItem");
    });
    dockList_->insert(static_cast<std::size_t>(separator - items.begin()), item);
  });
  dockItems_[pid] = std::move(item);
}

// Menu bars and desktop pictures follow the displays, the Dock the main display; when the
// displays change they are rebuilt, as the window server does.
void VirtualMac::furnish() {
  if (displays_.empty()) return;
  auto add = [&](pid_t owner, AXRect bounds, std::int32_t layer, std::string title,
                 bool behindPeers) {
    SimWindow w;
    w.number = nextWindow_++;
    w.owner = owner;
    w.layer = layer;
    w.bounds = bounds;
    w.title = std::move(title);
    furnitureWindows_.push_back(w.number);
    insertWindow(std::move(w), behindPeers);
  };
  for (const auto& d : displays_) {
    AXRect frame = axFrame(d);
    add(kWindowServerPID,
        AXRect::make(frame.minX(), frame.minY(), frame.size.width, d.menuBarHeight), kLayerMainMenu,
        "Menubar", false);
    add(kWindowServerPID, frame, kLayerDesktop,
        "Desktop Picture - " + (d.name.empty() ? d.uuid : d.name), true);
  }
  // The Dock starts behind the applications' windows; windows opened later go in front of it.
  const SimDisplay& main = displays_.front();
  AXRect frame = axFrame(main);
  double height = main.dockHeight > 0 ? main.dockHeight : kDockWindowHeight;
  add(dock_->pid(), AXRect::make(frame.minX(), frame.maxY() - height, frame.size.width, height),
      kLayerDock, "Dock", true);
}

void VirtualMac::unfurnish() {
  std::erase_if(windows_, [&](const SimWindow& w) {
    return std::find(furnitureWindows_.begin(), furnitureWindows_.end(), w.number) !=
           furnitureWindows_.end();
  });
  furnitureWindows_.clear();
}

// ---- What the user does ----

void VirtualMac::userSwitchTo(std::uint64_t spaceID) {
  SimDisplay* d = nullptr;
  if (!findSpace(spaceID, &d)) return;
  bool changed = d->currentSpaceID != spaceID || activeMenuBarDisplay_ != d->uuid;
  d->currentSpaceID = spaceID;
  activeMenuBarDisplay_ = d->uuid;
  menuBarMayMove();
  layoutChanged();
  if (changed) postLater(kActiveSpaceDidChange);
}

std::uint64_t VirtualMac::userAddDesktop(const std::string& displayUUID) {
  return addSpace(displayUUID, kSpaceTypeDesktop);
}

void VirtualMac::userRemoveSpace(std::uint64_t spaceID) {
  SimDisplay* d = nullptr;
  if (!findSpace(spaceID, &d)) return;
  auto& spaces = d->spaces;
  auto it = std::find_if(spaces.begin(), spaces.end(),
                         [&](const SimSpace& s) { return s.id == spaceID; });
  // Windows land on the first desktop that stays; a display always keeps one desktop.
  auto refuge = std::find_if(spaces.begin(), spaces.end(), [&](const SimSpace& s) {
    return s.type == kSpaceTypeDesktop && s.id != spaceID;
  });
  if (refuge == spaces.end()) return;
  std::uint64_t refugeID = refuge->id;
  for (auto& w : windows_) {
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
  layoutChanged();
  if (wasCurrent) postLater(kActiveSpaceDidChange);
}

std::uint64_t VirtualMac::userEnterFullScreen(std::int64_t windowNumber) {
  SimWindow* w = findWindow(windowNumber);
  if (!w || w->spaces.empty() || !isRunning(w->owner)) return 0;
  SimDisplay* d = nullptr;
  if (!findSpace(w->spaces.front(), &d)) return 0;
  auto after = std::find_if(d->spaces.begin(), d->spaces.end(),
                            [&](const SimSpace& s) { return s.id == w->spaces.front(); });
  SimSpace s;
  s.id = nextSpaceID_++;
  s.managedID = static_cast<std::int64_t>(s.id);
  s.type = kSpaceTypeFullScreen;
  s.uuid = spaceUUID(s.id);
  s.fullScreenOwner = w->owner;
  std::uint64_t id = s.id;
  d->spaces.insert(after + 1, std::move(s));
  w->spaces = {id};
  w->bounds = axFrame(*d);
  d->currentSpaceID = id;
  activeMenuBarDisplay_ = d->uuid;
  // The window the user made full screen is the front one, and its application frontmost.
  frontmost_ = w->owner;
  menuBarMayMove();
  SimWindow moved = std::move(*w);
  windows_.erase(windows_.begin() + (w - windows_.data()));
  insertWindow(std::move(moved));
  layoutChanged();
  postLater(kActiveSpaceDidChange);
  return id;
}

SimDisplay& VirtualMac::userAttachDisplay(const std::string& uuid, ScreenRect frame,
                                          double backingScale) {
  addDisplay(uuid, frame, backingScale);
  if (furnished_) {
    unfurnish();
    furnish();
  }
  postLater(kScreenParametersDidChange);
  return displays_.back();
}

void VirtualMac::userDetachDisplay(const std::string& uuid) {
  auto it = std::find_if(displays_.begin(), displays_.end(),
                         [&](const SimDisplay& d) { return d.uuid == uuid; });
  if (it == displays_.end() || displays_.size() < 2) return;
  if (furnished_) unfurnish();

  double oldMainHeight = mainDisplayHeight();
  AXRect goneFrame = axFrame(*it);
  SimDisplay gone = std::move(*it);
  displays_.erase(it);

  // Losing the main display makes the next one main, with its origin at 0,0; everything in
  // window-list coordinates shifts with it.
  SimDisplay& main = displays_.front();
  if (main.frame.origin != ScreenPoint{}) {
    AXPoint axShift = toAX(main.frame, oldMainHeight).origin;
    ScreenPoint shift = main.frame.origin;
    for (auto& d : displays_) {
      d.frame.origin.x -= shift.x;
      d.frame.origin.y -= shift.y;
    }
    for (auto& w : windows_) {
      w.bounds.origin.x -= axShift.x;
      w.bounds.origin.y -= axShift.y;
    }
    goneFrame.origin.x -= axShift.x;
    goneFrame.origin.y -= axShift.y;
  }
  AXRect mainFrame = axFrame(main);

  // The windows that were on the detached display reappear at the same place on the main one.
  for (auto& w : windows_) {
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
  if (activeMenuBarDisplay_ == uuid) activeMenuBarDisplay_ = main.uuid;
  if (furnished_) furnish();
  layoutChanged();
  postLater(kScreenParametersDidChange);
  postLater(kActiveSpaceDidChange);
}

void VirtualMac::setActiveMenuBarDisplay(const std::string& uuid) {
  if (findDisplay(uuid)) activeMenuBarDisplay_ = uuid;
  menuBarMayMove();
}

void VirtualMac::raiseWindowsOf(pid_t pid, bool allWindows) {
  std::vector<SimWindow> raised;
  for (auto it = windows_.begin(); it != windows_.end();) {
    if (it->owner == pid && (allWindows || raised.empty())) {
      raised.push_back(std::move(*it));
      it = windows_.erase(it);
    } else {
      ++it;
    }
  }
  // Re-inserted back to front so the app's own stacking order is kept.
  for (auto it = raised.rbegin(); it != raised.rend(); ++it) insertWindow(std::move(*it));
}

void VirtualMac::bringToFront(pid_t pid, bool allWindows) {
  frontmost_ = pid;
  menuBarMayMove();
  raiseWindowsOf(pid, allWindows);
}

void VirtualMac::userActivate(pid_t pid) {
  if (isRunning(pid)) bringToFront(pid, false);
}

std::int64_t VirtualMac::userOpenWindow(pid_t owner, AXRect bounds) {
  std::uint64_t space = currentSpace(activeMenuBarDisplay_);
  if (!space || !isRunning(owner)) return 0;
  return addWindow(owner, {space}, bounds);
}

void VirtualMac::userCloseWindow(std::int64_t windowNumber) {
  std::erase_if(windows_, [&](const SimWindow& w) { return w.number == windowNumber; });
}

void VirtualMac::quitApplication(pid_t pid) {
  SimApp* app = findApp(pid);
  if (!app || app->terminated) return;
  app->terminated = true;
  ax_->applicationQuit(pid);
  if (auto item = dockItems_.find(pid); item != dockItems_.end()) {
    ax_->edit([&] { dockList_->remove(item->second.get()); });
    dockItems_.erase(item);
  }
  std::erase_if(windows_, [&](const SimWindow& w) { return w.owner == pid; });
  if (frontmost_ != pid) return;
  // The application that owns the frontmost visible window takes over, as after ⌘Q.
  frontmost_.reset();
  for (const auto& w : windows_) {
    const SimApp* next = application(w.owner);
    if (w.layer == kLayerNormal && isOnScreen(w) && next &&
        next->policy == platform::ActivationPolicy::Regular) {
      frontmost_ = w.owner;
      menuBarMayMove();
      break;
    }
  }
}

pid_t VirtualMac::startAnotherCopy(std::optional<std::string> bundlePath) {
  return addApplication(SimApp{0, "Velmora", bundle_.identifier, bundlePath.value_or(bundle_.path),
                               platform::ActivationPolicy::Accessory, false});
}

void VirtualMac::userInput(std::uint32_t eventType) {
  lastInput_[eventType] = loop_.now();
}

void VirtualMac::setAccessibilityTrusted(bool trusted) {
  ax_->setTrusted(trusted);
}

bool VirtualMac::setDockBadge(pid_t pid, std::optional<std::string> text) {
  auto item = dockItems_.find(pid);
  if (item == dockItems_.end()) return false;
  ax_->edit([&] {
    item->second->attributes.insert_or_assign("AXStatusLabel", text ? Value(*text) : Value());
  });
  return true;
}

void VirtualMac::editAccessibilityTree(pid_t pid,
                                       const std::function<void(SimAXNode& root)>& edit) {
  SimAXNodePtr root = ax_->nodeOf(applicationElement(pid));
  if (root) ax_->edit([&] { edit(*root); });
}

void VirtualMac::failTccutil(int status, std::string standardError) {
  if (status == 0) {
    tccutilFailure_.reset();
  } else {
    tccutilFailure_.emplace(status, std::move(standardError));
  }
}

void VirtualMac::failLaunch(const std::string& executable, std::optional<std::string> description) {
  if (description) {
    launchFailures_[executable] = std::move(*description);
  } else {
    launchFailures_.erase(executable);
  }
}

void VirtualMac::refuseTermination(pid_t pid, bool refuses) {
  if (refuses) {
    refusesTermination_.insert(pid);
  } else {
    refusesTermination_.erase(pid);
  }
}

// ---- Misbehaviour ----

void VirtualMac::overrideManagedDisplaySpaces(std::optional<Value> answer) {
  spacesOverride_ = std::move(answer);
}

void VirtualMac::overrideWindowList(std::optional<Value> answer) {
  windowListOverride_ = std::move(answer);
}

void VirtualMac::failSetCurrentSpace(std::int32_t status) {
  if (status == 0) {
    setCurrentSpaceFailure_.reset();
  } else {
    setCurrentSpaceFailure_ = status;
  }
}

// ---- platform::WindowServer ----

platform::ConnectionID VirtualMac::mainConnectionID() {
  countCall("SLSMainConnectionID");
  return kConnection;
}

Value VirtualMac::copyManagedDisplaySpaces(platform::ConnectionID) {
  countCall("SLSCopyManagedDisplaySpaces");
  if (spacesOverride_) return *spacesOverride_;
  if (!layoutAnswer_) {
    Value::Array answer;
    answer.reserve(displays_.size());
    for (const auto& d : displays_) {
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
    layoutAnswer_ = Value(std::move(answer));
  }
  return *layoutAnswer_;
}

std::int32_t VirtualMac::managedDisplaySetCurrentSpace(platform::ConnectionID,
                                                       const std::string& displayUUID,
                                                       std::uint64_t spaceID) {
  countCall("SLSManagedDisplaySetCurrentSpace");
  if (setCurrentSpaceFailure_) return *setCurrentSpaceFailure_;
  SimDisplay* d = nullptr;
  if (!findSpace(spaceID, &d) || d->uuid != displayUUID) return kCGErrorFailure;
  if (d->currentSpaceID == spaceID) return 0;
  d->currentSpaceID = spaceID;
  layoutChanged();
  if (directSwitchPosts_) postLater(kActiveSpaceDidChange);
  return 0;
}

Value VirtualMac::copyActiveMenuBarDisplayIdentifier(platform::ConnectionID) {
  countCall("SLSCopyActiveMenuBarDisplayIdentifier");
  if (activeMenuBarDisplay_.empty()) return nullptr;
  return Value(activeMenuBarDisplay_);
}

Value VirtualMac::spaceCopyName(platform::ConnectionID, std::uint64_t spaceID) {
  countCall("SLSSpaceCopyName");
  const SimSpace* s = space(spaceID);
  if (!s || !s->name) return nullptr;
  return Value(*s->name);
}

Value VirtualMac::copyWindowsWithOptionsAndTags(platform::ConnectionID, std::int32_t,
                                                const Value& spaces, std::uint32_t, std::uint64_t&,
                                                std::uint64_t&) {
  countCall("SLSCopyWindowsWithOptionsAndTags");
  const Value::Array* ids = spaces.asArray();
  if (!ids) return nullptr;
  std::vector<std::uint64_t> wanted;
  for (const auto& v : *ids) {
    auto id = v.asUInt64();
    if (!id || !space(*id)) return nullptr;
    wanted.push_back(*id);
  }
  Value::Array numbers;
  for (const auto& w : windows_) {
    bool on = std::any_of(w.spaces.begin(), w.spaces.end(), [&](std::uint64_t s) {
      return std::find(wanted.begin(), wanted.end(), s) != wanted.end();
    });
    if (on) numbers.emplace_back(w.number);
  }
  return Value(std::move(numbers));
}

void VirtualMac::moveWindowsToManagedSpace(platform::ConnectionID, const Value& windows,
                                           std::uint64_t spaceID) {
  countCall("SLSMoveWindowsToManagedSpace");
  const Value::Array* numbers = windows.asArray();
  if (!numbers || !space(spaceID)) return;
  for (const auto& v : *numbers) {
    auto number = v.asInteger();
    if (SimWindow* w = number ? findWindow(*number) : nullptr) w->spaces = {spaceID};
  }
}

Value VirtualMac::windowListCopyWindowInfo(std::uint32_t options, std::uint32_t) {
  countCall("CGWindowListCopyWindowInfo");
  if (windowListOverride_) return *windowListOverride_;
  bool onScreenOnly = options & platform::kWindowListOptionOnScreenOnly;
  bool noDesktop = options & platform::kWindowListExcludeDesktopElements;
  Value::Array list;
  list.reserve(windows_.size());
  for (const auto& w : windows_) {
    bool onScreen = isOnScreen(w);
    if (onScreenOnly && !onScreen) continue;
    if (noDesktop && w.layer <= kLayerDesktop) continue;
    const SimApp* app = application(w.owner);
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

// ---- platform::Screens ----

std::vector<platform::ScreenInfo> VirtualMac::screens() {
  std::vector<platform::ScreenInfo> result;
  result.reserve(displays_.size());
  for (const auto& d : displays_) {
    platform::ScreenInfo info;
    info.frame = d.frame;
    info.visibleFrame =
        ScreenRect::make(d.frame.minX(), d.frame.minY() + d.dockHeight, d.frame.size.width,
                         std::max(0.0, d.frame.size.height - d.menuBarHeight - d.dockHeight));
    info.backingScaleFactor = d.backingScale;
    info.localizedName = d.name;
    info.deviceDescription = Value::dictionary({{"NSScreenNumber", Value(d.displayNumber)}});
    if (d.notch) {
      double top = d.frame.maxY() - d.menuBarHeight;
      double left = d.frame.midX() - d.notch->width / 2;
      info.auxiliaryTopLeftArea =
          ScreenRect::make(d.frame.minX(), top, left - d.frame.minX(), d.menuBarHeight);
      info.auxiliaryTopRightArea = ScreenRect::make(
          left + d.notch->width, top, d.frame.maxX() - left - d.notch->width, d.menuBarHeight);
      info.safeAreaTopInset = d.menuBarHeight;
    }
    result.push_back(std::move(info));
  }
  return result;
}

// Answers the display's identifier as the window server knows it, so a display whose
// identifier is "Main" answers "Main" here too.
Value VirtualMac::displayUUIDString(std::uint32_t displayID) {
  countCall("CGDisplayCreateUUIDFromDisplayID");
  for (const auto& d : displays_) {
    if (d.displayNumber == displayID) return Value(d.uuid);
  }
  return nullptr;
}

// ---- platform::Workspace ----

std::optional<platform::RunningApplication> VirtualMac::runningApplication(pid_t pid) {
  const SimApp* app = application(pid);
  if (!app || app->terminated) return std::nullopt;
  return describeApp(*app);
}

std::vector<platform::RunningApplication> VirtualMac::runningApplications() {
  std::vector<platform::RunningApplication> running;
  for (const auto& app : apps_) {
    if (!app.terminated) running.push_back(describeApp(app));
  }
  return running;
}

std::optional<platform::RunningApplication> VirtualMac::frontmostApplication() {
  if (!frontmost_) return std::nullopt;
  return runningApplication(*frontmost_);
}

bool VirtualMac::activate(pid_t pid, unsigned options) {
  if (!isRunning(pid)) return false;
  bringToFront(pid, options & kActivateAllWindows);
  return true;
}

bool VirtualMac::terminate(pid_t pid) {
  countCall("NSRunningApplication.terminate");
  if (!isRunning(pid) || refusesTermination_.contains(pid)) return false;
  loop_.post(lifetime_.guard([this, pid] { quitApplication(pid); }));
  return true;
}

bool VirtualMac::forceTerminate(pid_t pid) {
  countCall("NSRunningApplication.forceTerminate");
  if (!isRunning(pid)) return false;
  quitApplication(pid);
  return true;
}

ObserverToken VirtualMac::observeActiveSpaceChanged(std::function<void()> fn) {
  return workspaceCenter_.observe(kActiveSpaceDidChange, std::move(fn));
}

ObserverToken VirtualMac::observeScreenParametersChanged(std::function<void()> fn) {
  return workspaceCenter_.observe(kScreenParametersDidChange, std::move(fn));
}

// ---- platform::InputClocks ----

double VirtualMac::secondsSinceLastEventType(std::int32_t, std::uint32_t eventType) {
  countCall("CGEventSourceSecondsSinceLastEventType");
  double now = loop_.now();
  std::optional<double> last;
  if (eventType == kAnyInputEventType) {
    for (const auto& [type, at] : lastInput_) last = std::max(last.value_or(at), at);
  } else if (auto it = lastInput_.find(eventType); it != lastInput_.end()) {
    last = it->second;
  }
  return last ? now - *last : now + kUptimeBeforeLoop;
}

// ---- platform::Accessibility ----

bool VirtualMac::isProcessTrusted() {
  countCall("AXIsProcessTrusted");
  return ax_->trusted();
}

bool VirtualMac::isProcessTrustedWithOptions(const Value& options) {
  countCall("AXIsProcessTrustedWithOptions");
  bool trusted = ax_->trusted();
  const Value* prompt = options.find(platform::kAXTrustedCheckOptionPrompt);
  if (!trusted && prompt && prompt->asBool() == true) ++prompts_;
  return trusted;
}

platform::AXElementRef VirtualMac::applicationElement(std::int32_t pid) {
  return std::make_shared<SimAXElement>(pid, nullptr);
}

platform::AXError VirtualMac::setMessagingTimeout(const platform::AXElementRef& element,
                                                  float seconds) {
  countCall("AXUIElementSetMessagingTimeout");
  return ax_->setMessagingTimeout(element, seconds);
}

platform::AXAttribute VirtualMac::copyAttributeValue(const platform::AXElementRef& element,
                                                     const std::string& attribute) {
  countCall("AXUIElementCopyAttributeValue");
  return ax_->copyAttributeValue(element, attribute);
}

platform::AXAttributes VirtualMac::copyMultipleAttributeValues(
    const platform::AXElementRef& element, const std::vector<std::string>& attributes,
    bool stopOnError) {
  countCall("AXUIElementCopyMultipleAttributeValues");
  return ax_->copyMultipleAttributeValues(element, attributes, stopOnError);
}

platform::AXError VirtualMac::setAttributeValue(const platform::AXElementRef& element,
                                                const std::string& attribute, const Value& value) {
  countCall("AXUIElementSetAttributeValue");
  if (!ax_->trusted()) return platform::kAXErrorAPIDisabled;
  const auto* handle = dynamic_cast<const SimAXElement*>(element.get());
  if (!handle) return platform::kAXErrorIllegalArgument;
  if (handle->node || attribute != "AXFrontmost") {
    return ax_->setAttributeValue(element, attribute, value);
  }
  if (!isRunning(handle->pid)) return platform::kAXErrorInvalidUIElement;
  auto frontmost = value.asBool();
  if (!frontmost) return platform::kAXErrorIllegalArgument;
  if (*frontmost) bringToFront(handle->pid, false);
  return platform::kAXErrorSuccess;
}

platform::AXError VirtualMac::performAction(const platform::AXElementRef& element,
                                            const std::string& action) {
  countCall("AXUIElementPerformAction");
  return ax_->performAction(element, action);
}

platform::AXObserverResult VirtualMac::createObserver(std::int32_t pid,
                                                      platform::AXObserverCallback callback) {
  countCall("AXObserverCreate");
  return ax_->createObserver(pid, std::move(callback));
}

// ---- platform::ProcessRunner ----

platform::ProcessResult VirtualMac::run(const std::string& executable,
                                        const std::vector<std::string>& arguments) {
  countCall("Process.run");
  processRuns_.push_back(SimProcessRun{executable, arguments});
  if (auto failure = launchFailures_.find(executable); failure != launchFailures_.end()) {
    return {false, failure->second, 0, {}};
  }
  if (executable == "/usr/bin/tccutil") return tccutil(arguments);
  if (executable == kKillall || executable == VirtualDock::kActivateSettings) {
    auto [status, error] = dockTool(executable, arguments);
    return {true, {}, status, error};
  }
  std::string name = std::filesystem::path(executable).filename().string();
  return {false, "The file \u201C" + name + "\u201D doesn\u2019t exist.", 0, {}};
}

platform::ProcessStart VirtualMac::start(const std::string& executable,
                                         const std::vector<std::string>& arguments) {
  countCall("Process.run");
  processStarts_.push_back(SimProcessRun{executable, arguments});
  if (auto failure = launchFailures_.find(executable); failure != launchFailures_.end()) {
    return {false, failure->second};
  }
  if (executable == "/bin/sh" || executable == "/usr/bin/tccutil") return {true, {}};
  if (executable == kKillall || executable == VirtualDock::kActivateSettings) {
    loop_.post(lifetime_.guard([this, executable, arguments] { dockTool(executable, arguments); }));
    return {true, {}};
  }
  std::string name = std::filesystem::path(executable).filename().string();
  return {false, "The file \u201C" + name + "\u201D doesn\u2019t exist."};
}

// killall NAME…: only the Dock is known by name. activateSettings -u: the Dock reloads its
// preferences.
std::pair<int, std::string> VirtualMac::dockTool(const std::string& executable,
                                                 const std::vector<std::string>& arguments) {
  if (executable == VirtualDock::kActivateSettings) {
    if (std::find(arguments.begin(), arguments.end(), "-u") != arguments.end()) {
      dock_->reloadShortcuts();
    }
    return {0, {}};
  }
  bool dock = std::any_of(arguments.begin(), arguments.end(),
                          [](const std::string& a) { return a == "Dock"; });
  if (!dock) return {1, "No matching processes belonging to you were found\n"};
  dock_->restart();
  return {0, {}};
}

// tccutil reset SERVICE [BUNDLE_ID]: removes the grants of the service, for one bundle or all.
platform::ProcessResult VirtualMac::tccutil(const std::vector<std::string>& arguments) {
  if (tccutilFailure_) return {true, {}, tccutilFailure_->first, tccutilFailure_->second};
  if (arguments.size() < 2 || arguments.size() > 3 || arguments[0] != "reset") {
    return {true, {}, 64, "Usage: tccutil reset SERVICE [BUNDLE_ID]\n"};
  }
  if (arguments[1] != "Accessibility" && arguments[1] != "All") {
    return {true, {}, 1, "tccutil: Unknown service \"" + arguments[1] + "\"\n"};
  }
  if (arguments.size() == 3) {
    bool known = std::any_of(apps_.begin(), apps_.end(),
                             [&](const SimApp& a) { return a.bundleIdentifier == arguments[2]; });
    if (!known && bundle_.identifier != arguments[2]) {
      return {true, {}, 1, "tccutil: No such bundle identifier \"" + arguments[2] + "\"\n"};
    }
    // Only this process's grant is modelled.
    if (bundle_.identifier != arguments[2]) return {true, {}, 0, {}};
  }
  ax_->setTrusted(false);
  return {true, {}, 0, {}};
}

// ---- platform::LaunchServices ----

bool VirtualMac::openURL(const std::string& url) {
  countCall("NSWorkspace.open");
  if (!formsURL(url)) return false;
  openedURLs_.push_back(url);
  return true;
}

std::int32_t VirtualMac::registerURL(const std::string& bundlePath, bool) {
  countCall("LSRegisterURL");
  registeredBundles_.push_back(bundlePath);
  return 0;
}

// ---- platform::Bundle ----

Value VirtualMac::infoDictionaryValue(const std::string& key) {
  auto it = bundle_.info.find(key);
  return it == bundle_.info.end() ? Value() : it->second;
}

// ---- platform::Application ----

void VirtualMac::setActivationPolicy(platform::ActivationPolicy policy) {
  countCall("NSApplication.setActivationPolicy");
  for (auto& app : apps_) {
    if (app.pid == kSelfPID) app.policy = policy;
  }
}

void VirtualMac::activateIgnoringOtherApps() {
  countCall("NSApplication.activate");
  frontmost_ = kSelfPID;
  menuBarMayMove();
}

int VirtualMac::runModalAlert(const platform::Alert& alert) {
  countCall("NSAlert.runModal");
  alerts_.push_back(alert);
  int answer = 0;
  if (!alertAnswers_.empty()) {
    for (std::size_t i = 0; i < alert.buttons.size(); ++i) {
      if (alert.buttons[i] == alertAnswers_.front()) answer = static_cast<int>(i);
    }
    alertAnswers_.erase(alertAnswers_.begin());
  }
  return answer;
}

void VirtualMac::terminate() {
  countCall("NSApplication.terminate");
  ++terminateRequests_;
}

// ---- platform::LoginItems ----

std::optional<platform::LoginItemError> VirtualMac::registerMainApp() {
  countCall("SMAppService.register");
  if (loginItemFailure_) return platform::LoginItemError{*loginItemFailure_};
  loginItemStatus_ = platform::kLoginItemEnabled;
  return std::nullopt;
}

std::optional<platform::LoginItemError> VirtualMac::unregisterMainApp() {
  countCall("SMAppService.unregister");
  if (loginItemFailure_) return platform::LoginItemError{*loginItemFailure_};
  loginItemStatus_ = platform::kLoginItemNotRegistered;
  return std::nullopt;
}

}  // namespace velmora::sim
