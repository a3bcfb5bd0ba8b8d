#pragma once
// The virtual Mac: a stateful, deterministic stand-in for the machine Velmora runs on. It is
// not a mock with canned answers: it keeps displays, spaces, windows and applications,
// changes them the way macOS does when the user (or Velmora) acts, answers in the same
// loosely typed shapes the real frameworks use, and posts the notifications macOS posts, on
// the main loop.
//
// This class assembles the machine: one plain state (Machine) and a service per platform seam
// working over it — the window server, the workspace and screens, the accessibility API, the
// keyboard and hot keys, the command-line tools, Velmora's own application, the Dock, panels,
// the menu bar and the disks — and hands them out as a platform::Platform. What the user does
// and what tests look at are here too, passed on to the service concerned; the seam calls
// themselves are made on the services (windowServer(), workspace(), …).
//
// Drawing, pictures and property lists are given (linuxhost::HostServices); a virtual Mac
// made without them uses a PlainHost, which draws nothing.
//
// Everything runs on the MainLoop it is given; with a VirtualLoop every effect happens at
// an exact virtual time.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/main_loop.h"
#include "core/value.h"
#include "platform/linux/curl_http_client.h"
#include "platform/linux/host_services.h"
#include "platform/linux/thread_work_queues.h"
#include "platform/platform.h"
#include "platform/sim/ax_tree.h"
#include "platform/sim/dock_tree.h"
#include "platform/sim/machine.h"
#include "platform/sim/plain_host.h"
#include "platform/sim/virtual_accessibility.h"
#include "platform/sim/virtual_app_icons.h"
#include "platform/sim/virtual_application.h"
#include "platform/sim/virtual_code_signing.h"
#include "platform/sim/virtual_disks.h"
#include "platform/sim/virtual_dock.h"
#include "platform/sim/virtual_event_taps.h"
#include "platform/sim/virtual_hotkeys.h"
#include "platform/sim/virtual_keyboard.h"
#include "platform/sim/virtual_menu_bar.h"
#include "platform/sim/virtual_mission_control.h"
#include "platform/sim/virtual_open_panel.h"
#include "platform/sim/virtual_panels.h"
#include "platform/sim/virtual_pasteboard.h"
#include "platform/sim/virtual_pointer_monitors.h"
#include "platform/sim/virtual_popovers.h"
#include "platform/sim/virtual_processes.h"
#include "platform/sim/virtual_save_panel.h"
#include "platform/sim/virtual_window_server.h"
#include "platform/sim/virtual_workspace.h"

namespace velmora::sim {

// A notification the machine delivers to Velmora: a workspace one (the active space, the
// screens) or an accessibility one, to an observer Velmora registered.
struct SimNotification {
  enum class Source { workspace, accessibility };
  Source source = Source::workspace;
  std::string name;
  pid_t pid = 0;  // the process an accessibility notification is about
};

class VirtualMac {
 public:
  // The first copy of Velmora: an accessory application with this pid. Each copy started
  // later (startNewCopy) is a new process.
  static constexpr pid_t kSelfPID = sim::kSelfPID;
  // The Dock as the machine starts; each restart gives it a new pid (dock().pid()). Its
  // application record, window and element tree come with addSystemFurniture.
  static constexpr pid_t kDockPID = sim::kDockPID;

  // The user's home folder is `home` when given; otherwise the virtual Mac makes a fresh
  // temporary one and removes it again when it is destroyed. Without host services it draws
  // nothing (PlainHost); with them, they must outlive it.
  explicit VirtualMac(MainLoop& loop, std::optional<std::filesystem::path> home = std::nullopt);
  VirtualMac(MainLoop& loop, linuxhost::HostServices host,
             std::optional<std::filesystem::path> home = std::nullopt);
  ~VirtualMac();
  VirtualMac(const VirtualMac&) = delete;
  VirtualMac& operator=(const VirtualMac&) = delete;

  // All the seams, for the copy of Velmora that is this process now (selfPID).
  platform::Platform platform();
  // The copy of Velmora the seams speak for: kSelfPID until startNewCopy.
  pid_t selfPID() const { return machine_.self(); }
  MainLoop& loop() { return machine_.loop(); }
  const platform::HomeFolder& home() const { return machine_.home(); }
  platform::Preferences& preferences() { return *preferences_; }

  // ---- The services ----
  VirtualWindowServer& windowServer() { return windowServer_; }
  VirtualWorkspace& workspace() { return workspace_; }
  VirtualAccessibility& accessibility() { return accessibility_; }
  VirtualProcesses& processes() { return processes_; }
  // Velmora's bundle, launch-services calls, login item and application object.
  VirtualApplication& velmora() { return velmora_; }
  VirtualKeyboard& keyboard() { return keyboard_; }
  VirtualHotKeys& hotKeys() { return hotKeys_; }
  // The Dock: desktop shortcuts, switching, Mission Control, restarts.
  VirtualDock& dock() { return dock_; }
  // Mission Control: the Dock's, or from macOS 27 the window manager's.
  VirtualMissionControl& missionControl() { return missionControl_; }
  VirtualPanels& panels() { return panels_; }
  VirtualPopovers& popovers() { return popovers_; }
  VirtualEventTaps& eventTaps() { return eventTaps_; }
  VirtualPointerMonitors& pointerMonitors() { return pointer_; }
  VirtualMenuBar& menuBar() { return menuBar_; }
  VirtualOpenPanel& openPanel() { return openPanel_; }
  VirtualSavePanel& savePanel() { return savePanel_; }
  platform::CanvasFactory& canvases() { return host_.canvases; }
  platform::Symbols& symbols() { return host_.symbols; }
  VirtualAppIcons& appIcons() { return appIcons_; }
  // The startup disk ("/Applications" lies in its root folder, under the home) and the
  // volumes mounted on it. Made on first use.
  VirtualDisks& disks();
  // The network: real HTTP (to servers on the loopback interface in tests and scripts), with
  // time-outs ten times shorter than asked; and the Security framework's code checks.
  linuxhost::CurlHttpClient& http() { return *http_; }
  VirtualCodeSigning& codeSigning() { return codeSigning_; }
  VirtualPasteboard& pasteboard() { return pasteboard_; }

  // ---- Building a world (no notifications are posted) ----
  // Adds a display with one ordinary desktop, which becomes its current space. The first
  // display added is the main display and carries the active menu bar. Display numbers
  // are assigned 1, 2, 3… unless given. Edit the returned display before the window server
  // is next asked anything: its layout answer is kept until a change made through this class.
  SimDisplay& addDisplay(const std::string& uuid, ScreenRect frame, double backingScale = 2,
                         std::optional<std::uint32_t> displayNumber = std::nullopt) {
    return windowServer_.addDisplay(uuid, frame, backingScale, displayNumber);
  }
  // Appends a space to a display and returns its id. Ids are assigned from 1 upwards across
  // the whole machine; managedID equals the id unless given.
  std::uint64_t addSpace(const std::string& displayUUID, std::int64_t type = kSpaceTypeDesktop,
                         std::optional<std::int64_t> managedID = std::nullopt) {
    return windowServer_.addSpace(displayUUID, type, managedID);
  }
  // pid 0 assigns the next free pid from 600.
  pid_t addApplication(SimApp app) { return workspace_.launch(std::move(app)); }
  // Opens a window frontmost on the given spaces; returns its window number (from 100).
  std::int64_t addWindow(pid_t owner, std::vector<std::uint64_t> spaces, AXRect bounds,
                         std::int32_t layer = kLayerNormal, std::string title = {}) {
    return windowServer_.addWindow(owner, std::move(spaces), bounds, layer, std::move(title));
  }
  // Adds the furniture every Mac has: the Dock (pid 400, not a regular application) with its
  // own window and icon list, the window server's menu bar (pid 300) and a desktop picture
  // window per display, so window lists contain the non-application windows the filters
  // must reject. From macOS 27 on, the WindowManager process that runs Mission Control too.
  void addSystemFurniture();
  // From 27 on a machine with its furniture starts the window manager as well.
  void setSystemMajorVersion(int version);
  // The WindowManager process, once started (macOS 27 and later).
  std::optional<pid_t> windowManagerPID() const { return missionControl_.windowManagerPID(); }

  // ---- What the user does (posts what macOS posts, on the loop) ----
  // Switches the space's display to it at once and posts the active-space notification on
  // the next turn; the display becomes the one with the active menu bar.
  void userSwitchTo(std::uint64_t spaceID) { windowServer_.switchTo(spaceID); }
  // Adds a desktop at the end of a display (Mission Control's "+"); returns its id.
  std::uint64_t userAddDesktop(const std::string& displayUUID) {
    return addSpace(displayUUID, kSpaceTypeDesktop);
  }
  // Removes a space. Its windows move to the display's first desktop; if it was current,
  // the space before it becomes current and the active-space notification is posted.
  void userRemoveSpace(std::uint64_t spaceID) { windowServer_.removeSpace(spaceID); }
  // Makes the application's window full screen: a new full-screen space right after the
  // window's space, the window moved onto it, and the display switched to it.
  std::uint64_t userEnterFullScreen(std::int64_t windowNumber) {
    return windowServer_.enterFullScreen(windowNumber);
  }
  // Attaches a display (with one desktop) and posts the screen-parameters notification.
  SimDisplay& userAttachDisplay(const std::string& uuid, ScreenRect frame,
                                double backingScale = 2) {
    return windowServer_.attachDisplay(uuid, frame, backingScale);
  }
  // Detaches a display: its spaces move to the end of the main display, as macOS does,
  // and the screen-parameters and active-space notifications are posted.
  // The pointer on the detached display moves to the nearest point of those left.
  void userDetachDisplay(const std::string& uuid);
  // The user clicks into another display: the active menu bar moves there.
  void setActiveMenuBarDisplay(const std::string& uuid) {
    windowServer_.setActiveMenuBarDisplay(uuid);
  }
  // An application comes to the front and so does its frontmost window; Velmora's key panel
  // resigns when it is another application.
  void userActivate(pid_t pid);
  std::int64_t userOpenWindow(pid_t owner, AXRect bounds) {
    return windowServer_.openWindow(owner, bounds);  // on the active display's space
  }
  void userCloseWindow(std::int64_t windowNumber) { windowServer_.closeWindow(windowNumber); }
  void quitApplication(pid_t pid) { workspace_.quit(pid); }  // terminated, its windows gone
  // Another copy of Velmora (this bundle's identifier, another pid) starts from `bundlePath`,
  // by default this bundle's location; returns its pid. Only its process record: nothing runs
  // it, and this process stays the one the seams speak for.
  pid_t startAnotherCopy(std::optional<std::string> bundlePath = std::nullopt);
  // A new copy of Velmora starts from `bundlePath` (this bundle's location unless given) as a
  // new process, and becomes this process: Velmora's bundle is at that path, and platform()
  // speaks for the new pid from now on (its own hot-key handler and registrations). Answers
  // the pid. The copy that ran before stays until it is ended.
  pid_t startNewCopy(std::optional<std::string> bundlePath = std::nullopt);
  // The process handles its own requests to quit (a polite terminate, or NSApplication's
  // terminate from within): `onQuitRequest` hears each on the next loop turn, and ends the
  // process with quitApplication when it is done. Null: requests end it directly.
  void setOnQuitRequest(pid_t pid, std::function<void()> onQuitRequest) {
    workspace_.setOnQuitRequest(pid, std::move(onQuitRequest));
  }
  // "/usr/bin/open" of an application bundle (a relaunch script's last step): `onOpen` hears
  // the path, to run a copy of Velmora from there.
  void setOnOpenApplication(std::function<void(const std::string& bundlePath)> onOpen) {
    velmora_.setOnOpenApplication(std::move(onOpen));
  }
  // Hears each workspace notification the machine posts and each accessibility notification
  // delivered to an observer, on the loop, as it is delivered. Null stops it.
  void setOnNotificationDelivered(std::function<void(const SimNotification&)> onDelivered);
  // The user approves the login item in System Settings, or turns it off there.
  void setLoginItemStatus(std::int64_t status) { velmora_.setLoginItemStatus(status); }
  // The pointer moves to `point` (drawing coordinates), held to the nearest point of the
  // displays: the front-most panel there that takes mouse events hears it, at its own point,
  // on the next loop turn, and so do the local pointer monitors; elsewhere the global ones
  // do. In Mission Control, the top of a display expands its bar.
  void movePointer(ScreenPoint point);
  // The pointer goes to the top edge of a display (by UUID or name; the main one when none),
  // at `x` from its left edge (the middle when none). False for no such display.
  bool movePointerToTopEdge(const std::string& display = "", std::optional<double> x = {});
  // The secondary button clicks at `point`: the pointer monitors hear it, and a panel under
  // the pointer that takes mouse events gets it on the next loop turn.
  void rightClick(ScreenPoint point);
  // The user scrolls over the point by `deltaY` points (positive towards the top); the panel
  // there hears it on the next loop turn.
  void scrollWheel(ScreenPoint point, double deltaY);
  // The primary button clicks at `point` (the pointer moves there first). The event taps hear
  // it. While Mission Control is up the click is Mission Control's (a tile switches to its
  // space, the bar's empty space does nothing, anywhere else closes). Otherwise a panel there
  // that takes mouse events hears it on the next loop turn, becoming key first when it can; a
  // click anywhere else (the desktop, another application's window) makes the key panel
  // resign.
  void click(ScreenPoint point);
  // Mission Control opens or closes at once, as the Dock does it.
  void openMissionControl() { missionControl_.open(); }
  void closeMissionControl() { missionControl_.close(); }
  bool missionControlOpen() const { return missionControl_.isOpen(); }
  // A three-finger swipe on the trackpad: gesture events every 1/60 s for kSwipeDuration with
  // the pointer still, then its effect — up opens Mission Control, down closes it, left and
  // right slide the active display to the space before or after its current one.
  enum class Direction { up, down, left, right };
  static constexpr double kSwipeDuration = 0.3;
  void swipe(Direction direction);
  // The primary button goes down at `from` and up at `to` (drawing coordinates): the event
  // taps hear both; nothing under the pointer takes it as a click.
  void drag(ScreenPoint from, ScreenPoint to);
  ScreenPoint pointer() const { return machine_.pointer; }
  // The screens go to sleep or wake, the user switches to another login session or back:
  // the workspace posts the notification on the next loop turn.
  void sleepScreens() { machine_.postLater(kScreensDidSleep); }
  void wakeScreens() { machine_.postLater(kScreensDidWake); }
  void switchSessionAway() { machine_.postLater(kSessionDidResignActive); }
  void switchSessionBack() { machine_.postLater(kSessionDidBecomeActive); }
  // An input event of a Quartz event type now (mouse moved, key down, …).
  void userInput(std::uint32_t eventType) { machine_.noteInput(eventType); }
  void setAccessibilityTrusted(bool trusted) { machine_.ax().setTrusted(trusted); }
  // The Dock shows this badge on the application's icon ("AXStatusLabel"); none removes it.
  // False when the application has no item in the Dock.
  bool setDockBadge(pid_t pid, std::optional<std::string> text) {
    return dockTree_.setBadge(pid, std::move(text));
  }
  // How the user answers the next alerts, by button title, in order; an alert without an
  // answer given gets its first button.
  void answerAlerts(std::vector<std::string> buttonTitles) {
    velmora_.answerAlerts(std::move(buttonTitles));
  }
  // Mounts a read-only disk image named `name` and answers where ("/Volumes/<name>").
  std::filesystem::path mountDiskImage(const std::string& name = "Velmora") {
    return disks().mountDiskImage(name);
  }

  // ---- Looking at the machine (tests, demo, screenshots) ----
  const std::vector<SimDisplay>& displays() const { return machine_.displays; }
  const SimDisplay* display(const std::string& uuid) const { return machine_.findDisplay(uuid); }
  const SimSpace* space(std::uint64_t id) const { return machine_.findSpace(id); }
  const SimDisplay* displayOfSpace(std::uint64_t id) const;
  std::uint64_t currentSpace(const std::string& displayUUID) const;  // 0 when unknown
  std::string activeMenuBarDisplay() const { return machine_.activeMenuBarDisplay; }
  const std::vector<SimWindow>& windows() const { return machine_.windows; }  // front to back
  const SimWindow* window(std::int64_t number) const { return machine_.findWindow(number); }
  const SimApp* application(pid_t pid) const { return machine_.findApp(pid); }
  const std::vector<SimApp>& apps() const { return machine_.apps; }
  std::optional<pid_t> frontmostPID() const { return machine_.frontmost; }
  int systemMajorVersion() const { return machine_.systemMajorVersion; }
  // How often each seam call was made, by the platform function's name
  // ("SLSCopyManagedDisplaySpaces", "CGWindowListCopyWindowInfo", …).
  int callCount(const std::string& function) const { return machine_.callCount(function); }
  // How often the system asked the user for the Accessibility grant.
  int accessibilityPrompts() const { return accessibility_.prompts(); }
  // Every process run, in order; every process started without waiting (a relaunch script).
  const std::vector<SimProcessRun>& processRuns() const { return processes_.runs(); }
  const std::vector<SimProcessRun>& processStarts() const { return processes_.starts(); }
  // How often Velmora asked its own application object to terminate.
  int terminateRequests() const { return velmora_.terminateRequests(); }
  const std::vector<std::string>& openedURLs() const { return velmora_.openedURLs(); }
  const std::vector<std::string>& registeredBundles() const { return velmora_.registeredBundles(); }
  const std::vector<platform::Menu>& mainMenu() const { return velmora_.mainMenu(); }
  const std::vector<platform::Alert>& alerts() const { return velmora_.alerts(); }
  // Velmora's bundle; edit it to install another version.
  SimBundle& bundleInfo() { return machine_.bundle; }

  // ---- The accessibility trees ----
  // Runs `edit` on the application's root element with the tree locked (a worker may be
  // reading it); `edit` must not call into the virtual Mac. Nothing happens for a process
  // without a tree.
  void editAccessibilityTree(pid_t pid, const std::function<void(SimAXNode& root)>& edit);
  // The node behind an element handle, or null.
  SimAXNodePtr accessibilityNode(const platform::AXElementRef& element) {
    return machine_.ax().nodeOf(element);
  }
  // An accessibility notification about the node, heard on the next loop turn.
  void postAccessibilityNotification(const SimAXNodePtr& node, const std::string& name) {
    machine_.ax().post(node, name);
  }

  // ---- Misbehaviour, for the forgiving parsing and failure paths ----
  // While set, SLSCopyManagedDisplaySpaces answers this value instead of the real layout.
  void overrideManagedDisplaySpaces(std::optional<Value> answer) {
    windowServer_.overrideManagedDisplaySpaces(std::move(answer));
  }
  // While set, CGWindowListCopyWindowInfo answers this value.
  void overrideWindowList(std::optional<Value> answer) {
    windowServer_.overrideWindowList(std::move(answer));
  }
  // The next SLSManagedDisplaySetCurrentSpace calls answer this code and do nothing; 0 ends it.
  void failSetCurrentSpace(std::int32_t status) { windowServer_.failSetCurrentSpace(status); }
  // SLSManagedDisplaySetCurrentSpace answers success but does not switch: the next `count`
  // switch calls, or all of them when none; 0 stops it.
  void ignoreSwitchCalls(std::optional<int> count) { windowServer_.ignoreSwitchCalls(count); }
  // SLSManagedDisplaySetCurrentSpace switches at once but, as on a Mac, the workspace
  // notification may not follow; on by default here, off by this switch.
  void setDirectSwitchPostsNotification(bool posts) {
    windowServer_.setDirectSwitchPostsNotification(posts);
  }
  // While set, every accessibility message to the process — attribute reads and writes, and
  // actions — answers this error (a Dock that does not answer in time:
  // kAXErrorCannotComplete); none lets it answer again.
  void failAccessibilityCalls(pid_t pid, std::optional<platform::AXError> error) {
    machine_.ax().failCalls(pid, error);
  }
  // "/usr/bin/tccutil" exits with this status and standard-error text; status 0 makes it
  // work again.
  void failTccutil(int status, std::string standardError = {}) {
    processes_.failTccutil(status, std::move(standardError));
  }
  // Starting the executable fails with this description; none lets it start again.
  void failLaunch(const std::string& executable, std::optional<std::string> description) {
    processes_.failLaunch(executable, std::move(description));
  }
  // The application turns down polite requests to quit (an unsaved document, a hung main
  // thread); forcing still ends it.
  void refuseTermination(pid_t pid, bool refuses = true) {
    workspace_.refuseTermination(pid, refuses);
  }
  // Registering or unregistering the login item fails with this description; none lets it
  // work again.
  void failLoginItemChanges(std::optional<std::string> description) {
    velmora_.failLoginItemChanges(std::move(description));
  }

 private:
  VirtualMac(MainLoop& loop, std::unique_ptr<PlainHost> plain,
             std::optional<linuxhost::HostServices> host,
             std::optional<std::filesystem::path> home);

  std::unique_ptr<PlainHost> plainHost_;  // when no host services were given
  linuxhost::HostServices host_;
  bool ownsHome_;
  Machine machine_;
  std::unique_ptr<platform::Preferences> preferences_;
  std::unique_ptr<platform::KeyboardLayout> keyboardLayout_;
  VirtualHotKeys hotKeys_;
  VirtualKeyboard keyboard_;
  VirtualWindowServer windowServer_;
  DockTree dockTree_;
  VirtualWorkspace workspace_;
  VirtualAccessibility accessibility_;
  std::unique_ptr<platform::Canvas> measure_;  // measures Mission Control's labels
  VirtualMissionControl missionControl_;
  VirtualDock dock_;  // after the keyboard: it takes the system shortcuts
  VirtualApplication velmora_;
  VirtualProcesses processes_;  // after Velmora's application: a relaunch script opens it
  VirtualPanels panels_;
  VirtualPopovers popovers_;
  VirtualEventTaps eventTaps_;
  VirtualPointerMonitors pointer_;
  VirtualAppIcons appIcons_;
  VirtualMenuBar menuBar_;
  VirtualOpenPanel openPanel_;
  VirtualSavePanel savePanel_;
  linuxhost::ThreadWorkQueues workQueues_;
  std::unique_ptr<VirtualDisks> disks_;
  VirtualCodeSigning codeSigning_;
  VirtualPasteboard pasteboard_;
  std::unique_ptr<linuxhost::CurlHttpClient> http_;  // before the disks go: it may be writing
  Lifetime lifetime_;
};

}  // namespace velmora::sim
