#include "platform/sim/virtual_mac.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "platform/input_clocks.h"
#include "platform/linux/plist_preferences.h"
#include "platform/sim/us_keyboard_layout.h"

namespace velmora::sim {

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

namespace {
// A time-out of 15 s on the virtual Mac's network lasts 1.5 s of the wall clock: short enough
// for a stalled site in a script, long enough for a loopback server on a busy machine.
constexpr double kNetworkTimeScale = 0.1;
}  // namespace

VirtualMac::VirtualMac(MainLoop& loop, std::unique_ptr<PlainHost> plain,
                       std::optional<linuxhost::HostServices> host,
                       std::optional<std::filesystem::path> home)
    : plainHost_(std::move(plain)),
      host_(host ? *host : plainHost_->services()),
      ownsHome_(!home),
      machine_(loop, platform::HomeFolder{home ? *home : makeTemporaryHome()}),
      preferences_(std::make_unique<linuxhost::PlistPreferences>(machine_.home().preferences())),
      keyboardLayout_(std::make_unique<USKeyboardLayout>()),
      hotKeys_(kSelfPID),
      keyboard_(machine_, hotKeys_),
      windowServer_(machine_),
      dockTree_(machine_, [this](pid_t pid) { userActivate(pid); }),
      workspace_(machine_, dockTree_),
      accessibility_(machine_, workspace_),
      missionControl_(
          machine_,
          [this](const std::string& text) {
            if (!measure_) measure_ = host_.canvases.makeCanvas({1, 1}, 1);
            return measure_ ? measure_->measureText(text, platform::Font::system(12)).width : 0.0;
          }),
      // The Dock is running before anything else happens on the machine.
      dock_(machine_, *preferences_, keyboard_, windowServer_, dockTree_, missionControl_),
      velmora_(machine_, workspace_),
      processes_(machine_, dock_, velmora_),
      panels_(loop),
      popovers_(loop, panels_, workspace_),
      eventTaps_(loop),
      pointer_(loop, machine_.pointer),
      appIcons_(machine_, host_.symbols),
      menuBar_(machine_, host_.canvases, *preferences_, platform::kAppDomain),
      savePanel_(loop),
      codeSigning_(machine_),
      http_(std::make_unique<linuxhost::CurlHttpClient>(loop, kNetworkTimeScale)) {
  addApplication(SimApp{kSelfPID, "Velmora", "app.velmora.Velmora", "/Applications/Velmora.app",
                        platform::ActivationPolicy::Accessory, false});
  keyboard_.attachPanels(panels_);
  velmora_.setOnOpenMissionControl([this] { missionControl_.toggle(); });
}

VirtualMac::~VirtualMac() {
  if (ownsHome_) {
    std::error_code ignored;
    std::filesystem::remove_all(machine_.home().root, ignored);
  }
}

platform::Platform VirtualMac::platform() {
  return platform::Platform{machine_.loop(),
                            windowServer_,
                            workspace_,
                            workspace_,
                            workspace_,
                            accessibility_,
                            *preferences_,
                            *keyboardLayout_,
                            host_.propertyLists,
                            host_.images,
                            processes_,
                            velmora_,
                            velmora_,
                            velmora_,
                            velmora_,
                            machine_.home(),
                            disks(),
                            disks(),
                            keyboard_,
                            hotKeys_.forProcess(selfPID()),
                            keyboard_,
                            host_.canvases,
                            host_.symbols,
                            appIcons_,
                            panels_,
                            popovers_,
                            menuBar_,
                            openPanel_,
                            savePanel_,
                            workQueues_,
                            eventTaps_,
                            pointer_,
                            *http_,
                            codeSigning_,
                            pasteboard_,
                            machine_.systemMajorVersion};
}

VirtualDisks& VirtualMac::disks() {
  if (!disks_) {
    disks_ = std::make_unique<VirtualDisks>(machine_.home().root / "Macintosh HD");
    processes_.setDisks(disks_.get());
  }
  return *disks_;
}

void VirtualMac::addSystemFurniture() {
  if (!machine_.findApp(kWindowServerPID)) {
    addApplication(SimApp{kWindowServerPID, "Window Server", std::nullopt, std::nullopt,
                          platform::ActivationPolicy::Prohibited, false});
  }
  pid_t dockPID = dock_.pid();
  if (!machine_.findApp(dockPID)) {
    addApplication(SimApp{dockPID, "Dock", "com.apple.dock",
                          "/System/Library/CoreServices/Dock.app",
                          platform::ActivationPolicy::Accessory, false});
  }
  windowServer_.addFurniture(dockPID);
  if (!dockTree_.built()) dockTree_.build(dockPID);
  if (machine_.systemMajorVersion >= 27 && !missionControl_.windowManagerPID()) {
    pid_t pid = addApplication(SimApp{0, "WindowManager", "com.apple.WindowManager",
                                      "/System/Library/CoreServices/WindowManager.app",
                                      platform::ActivationPolicy::Prohibited, false});
    machine_.ax().addApplication(pid, "WindowManager");
    missionControl_.setWindowManagerPID(pid);
  }
}

void VirtualMac::setSystemMajorVersion(int version) {
  machine_.systemMajorVersion = version;
  if (machine_.findApp(kWindowServerPID)) addSystemFurniture();
}

void VirtualMac::swipe(Direction direction) {
  constexpr int kEvents = static_cast<int>(kSwipeDuration * 60);
  for (int i = 0; i < kEvents; ++i) {
    machine_.loop().after(i / 60.0, lifetime_.guard([this] { machine_.noteInput(kEventGesture); }));
  }
  machine_.loop().after(kSwipeDuration, lifetime_.guard([this, direction] {
    switch (direction) {
      case Direction::up:
        missionControl_.open();
        break;
      case Direction::down:
        missionControl_.close();
        break;
      case Direction::left:
      case Direction::right:
        dock_.slide(direction == Direction::right);
        break;
    }
  }));
}

void VirtualMac::userActivate(pid_t pid) {
  if (!machine_.isRunning(pid)) return;
  // The application taking the front takes the key window with it.
  if (pid != selfPID()) panels_.resignKey();
  workspace_.bringToFront(pid, false);
}

namespace {

std::vector<ScreenRect> displayFrames(const std::vector<SimDisplay>& displays) {
  std::vector<ScreenRect> frames;
  for (const SimDisplay& d : displays) frames.push_back(d.frame);
  return frames;
}

}  // namespace

void VirtualMac::movePointer(ScreenPoint point) {
  point = clampToDisplays(point, displayFrames(machine_.displays));
  machine_.pointer = point;
  machine_.noteInput(platform::kEventMouseMoved);
  pointer_.deliver(platform::kNSEventTypeMouseMoved, panels_.panelAt(point) != nullptr);
  panels_.pointerMoved(point);
  missionControl_.pointerMoved(point);
}

void VirtualMac::userDetachDisplay(const std::string& uuid) {
  windowServer_.detachDisplay(uuid);
  machine_.pointer = clampToDisplays(machine_.pointer, displayFrames(machine_.displays));
}

bool VirtualMac::movePointerToTopEdge(const std::string& display, std::optional<double> x) {
  const SimDisplay* target = nullptr;
  for (const SimDisplay& d : machine_.displays) {
    if (display.empty() || d.uuid == display || d.name == display) {
      target = &d;
      break;
    }
  }
  if (!target) return false;
  const ScreenRect& f = target->frame;
  movePointer({x ? f.minX() + *x : f.midX(), f.maxY() - 1});
  return true;
}

void VirtualMac::rightClick(ScreenPoint point) {
  point = clampToDisplays(point, displayFrames(machine_.displays));
  machine_.pointer = point;
  machine_.noteInput(platform::kEventRightMouseDown);
  pointer_.deliver(platform::kNSEventTypeRightMouseDown, panels_.panelAt(point) != nullptr);
  panels_.rightClick(point);
}

void VirtualMac::scrollWheel(ScreenPoint point, double deltaY) {
  point = clampToDisplays(point, displayFrames(machine_.displays));
  machine_.pointer = point;
  machine_.noteInput(platform::kEventScrollWheel);
  panels_.scrollWheel(point, deltaY);
}

void VirtualMac::click(ScreenPoint point) {
  point = clampToDisplays(point, displayFrames(machine_.displays));
  machine_.pointer = point;
  pointer_.deliver(platform::kNSEventTypeLeftMouseDown, panels_.panelAt(point) != nullptr);
  machine_.noteInput(platform::kEventLeftMouseDown);
  machine_.noteInput(platform::kEventLeftMouseUp);
  AXPoint at = toAX(point, machine_.mainDisplayHeight());
  eventTaps_.deliver(platform::kEventLeftMouseDown, at);
  eventTaps_.deliver(platform::kEventLeftMouseUp, at);
  // Mission Control covers every display: the click is its own.
  if (missionControl_.click(point)) return;
  panels_.click(point);
}

void VirtualMac::drag(ScreenPoint from, ScreenPoint to) {
  machine_.pointer = from;
  machine_.noteInput(platform::kEventLeftMouseDown);
  eventTaps_.deliver(platform::kEventLeftMouseDown, toAX(from, machine_.mainDisplayHeight()));
  machine_.pointer = clampToDisplays(to, displayFrames(machine_.displays));
  pointer_.deliver(platform::kNSEventTypeLeftMouseDragged,
                   panels_.panelAt(machine_.pointer) != nullptr);
  machine_.noteInput(platform::kEventLeftMouseUp);
  eventTaps_.deliver(platform::kEventLeftMouseUp, toAX(to, machine_.mainDisplayHeight()));
}

pid_t VirtualMac::startAnotherCopy(std::optional<std::string> bundlePath) {
  const SimBundle& bundle = machine_.bundle;
  return addApplication(SimApp{0, "Velmora", bundle.identifier, bundlePath.value_or(bundle.path),
                               platform::ActivationPolicy::Accessory, false});
}

pid_t VirtualMac::startNewCopy(std::optional<std::string> bundlePath) {
  if (bundlePath) machine_.bundle.path = *bundlePath;
  pid_t pid = startAnotherCopy();
  machine_.becomeCopy(pid);
  return pid;
}

void VirtualMac::setOnNotificationDelivered(
    std::function<void(const SimNotification&)> onDelivered) {
  if (!onDelivered) {
    machine_.setOnWorkspaceNotification(nullptr);
    machine_.ax().setOnDelivered(nullptr);
    return;
  }
  machine_.setOnWorkspaceNotification([onDelivered](std::string_view name) {
    onDelivered(SimNotification{SimNotification::Source::workspace, std::string(name)});
  });
  machine_.ax().setOnDelivered([onDelivered](pid_t pid, const std::string& name) {
    onDelivered(SimNotification{SimNotification::Source::accessibility, name, pid});
  });
}

const SimDisplay* VirtualMac::displayOfSpace(std::uint64_t id) const {
  const SimDisplay* d = nullptr;
  machine_.findSpace(id, &d);
  return d;
}

std::uint64_t VirtualMac::currentSpace(const std::string& displayUUID) const {
  const SimDisplay* d = display(displayUUID);
  return d ? d->currentSpaceID : 0;
}

void VirtualMac::editAccessibilityTree(pid_t pid,
                                       const std::function<void(SimAXNode& root)>& edit) {
  AXTree& ax = machine_.ax();
  SimAXNodePtr root = ax.nodeOf(accessibility_.applicationElement(pid));
  if (root) ax.edit([&] { edit(*root); });
}

}  // namespace velmora::sim
