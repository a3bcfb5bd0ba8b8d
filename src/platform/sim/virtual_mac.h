#pragma once
// The virtual Mac: a stateful, deterministic stand-in for the window server, the screens,
// the workspace, the input clocks and the accessibility grant. It is not a mock with
// canned answers: it keeps displays, spaces, windows and applications, changes them the
// way macOS does when the user (or Velmora) acts, answers in the same loosely typed shapes
// the real frameworks use, and posts the notifications macOS posts, on the main loop.
//
// Drawing, pictures and property lists are given (linuxhost::HostServices); a virtual Mac
// made without them uses a PlainHost, which draws nothing.
//
// Everything runs on the MainLoop it is given; with a VirtualLoop every effect happens at
// an exact virtual time.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/geometry.h"
#include "core/main_loop.h"
#include "core/notification_center.h"
#include "core/value.h"
#include "platform/linux/host_services.h"
#include "platform/platform.h"
#include "platform/sim/ax_tree.h"
#include "platform/sim/plain_host.h"
#include "platform/sim/virtual_disks.h"
#include "platform/sim/virtual_dock.h"
#include "platform/sim/virtual_hotkeys.h"
#include "platform/sim/virtual_keyboard.h"
#include "platform/sim/virtual_menu_bar.h"
#include "platform/sim/virtual_panels.h"

namespace velmora::sim {

using platform::pid_t;

// Window-server space types.
inline constexpr std::int64_t kSpaceTypeDesktop = 0;
inline constexpr std::int64_t kSpaceTypeFullScreen = 4;

// Window layers (CGWindowLevel) the virtual Mac uses for its own furniture.
inline constexpr std::int32_t kLayerNormal = 0;
inline constexpr std::int32_t kLayerDock = 20;
inline constexpr std::int32_t kLayerMainMenu = 24;
inline constexpr std::int32_t kLayerStatus = 25;
inline constexpr std::int32_t kLayerDesktop = -2147483623;  // desktop picture, a desktop element

struct SimSpace {
  std::uint64_t id = 0;
  std::int64_t managedID = 0;
  std::int64_t type = kSpaceTypeDesktop;
  std::string uuid;                      // the space's own "uuid" key, as the window server has one
  std::optional<std::string> name;       // what SLSSpaceCopyName answers; none answers null
  std::optional<pid_t> fullScreenOwner;  // the application a full-screen space belongs to
};

struct SimDisplay {
  std::string uuid;                 // "Display Identifier"; "Main" is legal, as on a Mac
  std::uint32_t displayNumber = 0;  // CGDirectDisplayID / "NSScreenNumber"
  ScreenRect frame;                 // drawing coordinates; the first display is the main one
  double menuBarHeight = 24;
  double dockHeight = 0;  // reserved at the bottom of the visible frame
  double backingScale = 2;
  std::string name;
  // The camera housing at the top centre (width, height in points); none without a notch.
  std::optional<Size> notch;
  std::vector<SimSpace> spaces;  // left to right, as in Mission Control
  std::uint64_t currentSpaceID = 0;
};

struct SimApp {
  pid_t pid = 0;
  std::optional<std::string> name;
  std::optional<std::string> bundleIdentifier;
  std::optional<std::string> bundlePath;
  platform::ActivationPolicy policy = platform::ActivationPolicy::Regular;
  bool terminated = false;
  // The menus after the application menu, as the menu bar shows them while the application
  // is in front; empty gives the usual File, Edit, View, Window, Help.
  std::vector<std::string> menus;
};

struct SimWindow {
  std::int64_t number = 0;
  pid_t owner = 0;
  std::int32_t layer = kLayerNormal;
  AXRect bounds;                      // Quartz window-list coordinates
  std::vector<std::uint64_t> spaces;  // empty: on every space (menu bar, Dock, stickies)
  std::string title;
};

// Velmora's own bundle as the virtual Mac has installed it.
struct SimBundle {
  Value::Dictionary info{{"CFBundleShortVersionString", Value("1.0.0")},
                         {"CFBundleVersion", Value("1")},
                         {"CFBundleIdentifier", Value("app.velmora.Velmora")}};
  std::optional<std::string> identifier = "app.velmora.Velmora";
  std::string path = "/Applications/Velmora.app";
};

// The open panel as the user will answer it: a file, or cancel when none.
class VirtualOpenPanel final : public platform::OpenPanel {
 public:
  std::optional<std::filesystem::path> runModal(
      const platform::OpenPanelRequest& request) override {
    requests_.push_back(request);
    if (answers_.empty()) return std::nullopt;
    auto answer = std::move(answers_.front());
    answers_.erase(answers_.begin());
    return answer;
  }
  // The next panel is answered with this file (none: Cancel).
  void answer(std::optional<std::filesystem::path> file) { answers_.push_back(std::move(file)); }
  const std::vector<platform::OpenPanelRequest>& requests() const { return requests_; }

 private:
  std::vector<std::optional<std::filesystem::path>> answers_;
  std::vector<platform::OpenPanelRequest> requests_;
};

struct SimProcessRun {
  std::string executable;
  std::vector<std::string> arguments;
  bool operator==(const SimProcessRun&) const = default;
};

class VirtualMac final : public platform::WindowServer,
                         public platform::Screens,
                         public platform::Workspace,
                         public platform::InputClocks,
                         public platform::Accessibility,
                         public platform::ProcessRunner,
                         public platform::LaunchServices,
                         public platform::Bundle,
                         public platform::Application,
                         public platform::LoginItems {
 public:
  // This process (Velmora itself): an accessory application with this pid.
  static constexpr pid_t kSelfPID = 500;
  // The Dock as the machine starts; each restart gives it a new pid (dock().pid()). Its
  // application record, window and element tree come with addSystemFurniture.
  static constexpr pid_t kDockPID = 400;

  // The user's home folder is `home` when given; otherwise the virtual Mac makes a fresh
  // temporary one and removes it again when it is destroyed. Without host services it draws
  // nothing (PlainHost); with them, they must outlive it.
  explicit VirtualMac(MainLoop& loop, std::optional<std::filesystem::path> home = std::nullopt);
  VirtualMac(MainLoop& loop, linuxhost::HostServices host,
             std::optional<std::filesystem::path> home = std::nullopt);
  ~VirtualMac() override;
  VirtualMac(const VirtualMac&) = delete;
  VirtualMac& operator=(const VirtualMac&) = delete;

  // All the seams, for one running copy of Velmora.
  platform::Platform platform();
  MainLoop& loop() { return loop_; }
  const platform::HomeFolder& home() const { return home_; }
  platform::Preferences& preferences() { return *preferences_; }

  // ---- Building a world (no notifications are posted) ----
  // Adds a display with one ordinary desktop, which becomes its current space. The first
  // display added is the main display and carries the active menu bar. Display numbers
  // are assigned 1, 2, 3… unless given. Edit the returned display before the window server
  // is next asked anything: its layout answer is kept until a change made through this class.
  SimDisplay& addDisplay(const std::string& uuid, ScreenRect frame, double backingScale = 2,
                         std::optional<std::uint32_t> displayNumber = std::nullopt);
  // Appends a space to a display and returns its id. Ids are assigned from 1 upwards across
  // the whole machine; managedID equals the id unless given.
  std::uint64_t addSpace(const std::string& displayUUID, std::int64_t type = kSpaceTypeDesktop,
                         std::optional<std::int64_t> managedID = std::nullopt);
  pid_t addApplication(SimApp app);  // pid 0 assigns the next free pid from 600
  // Opens a window frontmost on the given spaces; returns its window number (from 100).
  std::int64_t addWindow(pid_t owner, std::vector<std::uint64_t> spaces, AXRect bounds,
                         std::int32_t layer = kLayerNormal, std::string title = {});
  // Adds the furniture every Mac has: the Dock (pid 400, not a regular application) with its
  // own window, the window server's menu bar (pid 300) and a desktop picture window per
  // display, so window lists contain the non-application windows the filters must reject.
  void addSystemFurniture();

  // ---- What the user does (posts what macOS posts, on the loop) ----
  // Switches the space's display to it at once and posts the active-space notification on
  // the next turn; the display becomes the one with the active menu bar.
  void userSwitchTo(std::uint64_t spaceID);
  // Adds a desktop at the end of a display (Mission Control's "+"); returns its id.
  std::uint64_t userAddDesktop(const std::string& displayUUID);
  // Removes a space. Its windows move to the display's first desktop; if it was current,
  // the space before it becomes current and the active-space notification is posted.
  void userRemoveSpace(std::uint64_t spaceID);
  // Makes the application's window full screen: a new full-screen space right after the
  // window's space, the window moved onto it, and the display switched to it.
  std::uint64_t userEnterFullScreen(std::int64_t windowNumber);
  // Attaches a display (with one desktop) and posts the screen-parameters notification.
  SimDisplay& userAttachDisplay(const std::string& uuid, ScreenRect frame, double backingScale = 2);
  // Detaches a display: its spaces move to the end of the main display, as macOS does,
  // and the screen-parameters and active-space notifications are posted.
  void userDetachDisplay(const std::string& uuid);
  // The user clicks into another display: the active menu bar moves there.
  void setActiveMenuBarDisplay(const std::string& uuid);
  // An application comes to the front and so does its frontmost window.
  void userActivate(pid_t pid);
  std::int64_t userOpenWindow(pid_t owner, AXRect bounds);  // on the active display's space
  void userCloseWindow(std::int64_t windowNumber);
  void quitApplication(pid_t pid);  // terminated, its windows gone
  // Another copy of Velmora (this bundle's identifier, another pid) starts from `bundlePath`,
  // by default this bundle's location; returns its pid.
  pid_t startAnotherCopy(std::optional<std::string> bundlePath = std::nullopt);
  // The user approves the login item in System Settings, or turns it off there.
  void setLoginItemStatus(std::int64_t status) { loginItemStatus_ = status; }
  // An input event of a Quartz event type now (mouse moved, key down, …).
  void userInput(std::uint32_t eventType);
  void setAccessibilityTrusted(bool trusted);
  // The Dock shows this badge on the application's icon ("AXStatusLabel"); none removes it.
  // False when the application has no item in the Dock.
  bool setDockBadge(pid_t pid, std::optional<std::string> text);

  // ---- Looking at the machine (tests, demo, screenshots) ----
  const std::vector<SimDisplay>& displays() const { return displays_; }
  const SimDisplay* display(const std::string& uuid) const;
  const SimSpace* space(std::uint64_t id) const;
  const SimDisplay* displayOfSpace(std::uint64_t id) const;
  std::uint64_t currentSpace(const std::string& displayUUID) const;  // 0 when unknown
  std::string activeMenuBarDisplay() const { return activeMenuBarDisplay_; }
  const std::vector<SimWindow>& windows() const { return windows_; }  // front to back
  const SimWindow* window(std::int64_t number) const;
  const SimApp* application(pid_t pid) const;
  const std::vector<SimApp>& apps() const { return apps_; }
  std::optional<pid_t> frontmostPID() const { return frontmost_; }
  // How often each seam call was made, by the platform function's name
  // ("SLSCopyManagedDisplaySpaces", "CGWindowListCopyWindowInfo", …).
  int callCount(const std::string& function) const;
  // How often the system asked the user for the Accessibility grant.
  int accessibilityPrompts() const { return prompts_.load(); }
  // Every Process run, in order, and the URLs opened and bundles registered.
  const std::vector<SimProcessRun>& processRuns() const { return processRuns_; }
  // Every process started without waiting (a relaunch script), in order.
  const std::vector<SimProcessRun>& processStarts() const { return processStarts_; }
  // How often Velmora asked its own application object to terminate.
  int terminateRequests() const { return terminateRequests_; }
  const std::vector<std::string>& openedURLs() const { return openedURLs_; }
  const std::vector<std::string>& registeredBundles() const { return registeredBundles_; }
  // Velmora's bundle; edit it to install another version.
  SimBundle& bundleInfo() { return bundle_; }

  // ---- The application object ----
  const std::vector<platform::Menu>& mainMenu() const { return mainMenu_; }
  const std::vector<platform::Alert>& alerts() const { return alerts_; }
  // How the user answers the next alerts, by button title, in order; an alert without an
  // answer given gets its first button.
  void answerAlerts(std::vector<std::string> buttonTitles) {
    alertAnswers_ = std::move(buttonTitles);
  }
  // ---- Panels, the menu bar, the open panel ----
  VirtualPanels& panels() { return *panels_; }
  VirtualMenuBar& menuBar() { return *menuBar_; }
  VirtualOpenPanel& openPanel() { return openPanel_; }
  platform::CanvasFactory& canvases() { return host_.canvases; }
  platform::Symbols& symbols() { return host_.symbols; }
  void setSystemMajorVersion(int version) { systemMajorVersion_ = version; }
  int systemMajorVersion() const { return systemMajorVersion_; }
  // ---- Keyboard and hot keys ----
  VirtualKeyboard& keyboard() { return *keys_; }
  VirtualHotKeys& hotKeys() { return *hotKeys_; }
  // ---- The Dock: desktop shortcuts, switching, Mission Control ----
  VirtualDock& dock() { return *dock_; }
  // ---- Disks ----
  // The startup disk ("/Applications" lies in its root folder, under the home) and the
  // volumes mounted on it. Made on first use.
  VirtualDisks& disks() {
    if (!disks_) disks_ = std::make_unique<VirtualDisks>(home_.root / "Macintosh HD");
    return *disks_;
  }
  // Mounts a read-only disk image named `name` and answers where ("/Volumes/<name>").
  std::filesystem::path mountDiskImage(const std::string& name = "Velmora") {
    return disks().mountDiskImage(name);
  }

  // ---- The accessibility trees ----
  // Runs `edit` on the application's root element with the tree locked (a worker may be
  // reading it); `edit` must not call into the virtual Mac. Nothing happens for a process
  // without a tree.
  void editAccessibilityTree(pid_t pid, const std::function<void(SimAXNode& root)>& edit);
  // The node behind an element handle, or null.
  SimAXNodePtr accessibilityNode(const platform::AXElementRef& element) {
    return ax_->nodeOf(element);
  }
  // An accessibility notification about the node, heard on the next loop turn.
  void postAccessibilityNotification(const SimAXNodePtr& node, const std::string& name) {
    ax_->post(node, name);
  }

  // ---- Misbehaviour, for the forgiving parsing and failure paths ----
  // While set, SLSCopyManagedDisplaySpaces answers this value instead of the real layout.
  void overrideManagedDisplaySpaces(std::optional<Value> answer);
  // While set, CGWindowListCopyWindowInfo answers this value.
  void overrideWindowList(std::optional<Value> answer);
  // The next SLSManagedDisplaySetCurrentSpace calls answer this code and do nothing.
  void failSetCurrentSpace(std::int32_t status);
  // SLSManagedDisplaySetCurrentSpace switches at once but, as on a Mac, the workspace
  // notification may not follow; on by default here, off by this switch.
  void setDirectSwitchPostsNotification(bool posts) { directSwitchPosts_ = posts; }
  // While set, every attribute read of the process's elements answers this error (a Dock
  // that does not answer in time: kAXErrorCannotComplete).
  void failAccessibilityReads(pid_t pid, std::optional<platform::AXError> error) {
    ax_->failReads(pid, error);
  }
  // "/usr/bin/tccutil" exits with this status and standard-error text; status 0 makes it
  // work again.
  void failTccutil(int status, std::string standardError = {});
  // Starting the executable fails with this description; none lets it start again.
  void failLaunch(const std::string& executable, std::optional<std::string> description);
  // The application turns down polite requests to quit (an unsaved document, a hung main
  // thread); forcing still ends it.
  void refuseTermination(pid_t pid, bool refuses = true);
  // Registering or unregistering the login item fails with this description; none lets it
  // work again.
  void failLoginItemChanges(std::optional<std::string> description) {
    loginItemFailure_ = std::move(description);
  }

  // ---- platform::WindowServer ----
  platform::ConnectionID mainConnectionID() override;
  Value copyManagedDisplaySpaces(platform::ConnectionID cid) override;
  std::int32_t managedDisplaySetCurrentSpace(platform::ConnectionID cid,
                                             const std::string& displayUUID,
                                             std::uint64_t spaceID) override;
  Value copyActiveMenuBarDisplayIdentifier(platform::ConnectionID cid) override;
  Value spaceCopyName(platform::ConnectionID cid, std::uint64_t spaceID) override;
  Value copyWindowsWithOptionsAndTags(platform::ConnectionID cid, std::int32_t owner,
                                      const Value& spaces, std::uint32_t options,
                                      std::uint64_t& setTags, std::uint64_t& clearTags) override;
  void moveWindowsToManagedSpace(platform::ConnectionID cid, const Value& windows,
                                 std::uint64_t spaceID) override;
  Value windowListCopyWindowInfo(std::uint32_t options, std::uint32_t relativeToWindow) override;

  // ---- platform::Screens ----
  std::vector<platform::ScreenInfo> screens() override;
  Value displayUUIDString(std::uint32_t displayID) override;

  // ---- platform::Workspace ----
  std::optional<platform::RunningApplication> runningApplication(pid_t pid) override;
  std::vector<platform::RunningApplication> runningApplications() override;
  std::optional<platform::RunningApplication> frontmostApplication() override;
  bool activate(pid_t pid, unsigned options) override;
  // An accepted request ends the application on the next loop turn, as its quit event is
  // handled; forcing ends it at once.
  bool terminate(pid_t pid) override;
  bool forceTerminate(pid_t pid) override;
  pid_t currentProcessID() override { return kSelfPID; }
  ObserverToken observeActiveSpaceChanged(std::function<void()> fn) override;
  ObserverToken observeScreenParametersChanged(std::function<void()> fn) override;

  // ---- platform::InputClocks ----
  double secondsSinceLastEventType(std::int32_t stateID, std::uint32_t eventType) override;

  // ---- platform::Accessibility ----
  // Safe from any thread, except setAttributeValue("AXFrontmost"), which acts on the machine
  // and belongs to the main loop's thread.
  bool isProcessTrusted() override;
  bool isProcessTrustedWithOptions(const Value& options) override;
  platform::AXElementRef applicationElement(std::int32_t pid) override;
  platform::AXError setMessagingTimeout(const platform::AXElementRef& element,
                                        float seconds) override;
  platform::AXAttribute copyAttributeValue(const platform::AXElementRef& element,
                                           const std::string& attribute) override;
  platform::AXAttributes copyMultipleAttributeValues(const platform::AXElementRef& element,
                                                     const std::vector<std::string>& attributes,
                                                     bool stopOnError) override;
  platform::AXError setAttributeValue(const platform::AXElementRef& element,
                                      const std::string& attribute, const Value& value) override;
  platform::AXError performAction(const platform::AXElementRef& element,
                                  const std::string& action) override;
  platform::AXObserverResult createObserver(std::int32_t pid,
                                            platform::AXObserverCallback callback) override;

  // ---- platform::ProcessRunner ----
  // Knows "/usr/bin/tccutil", "/usr/bin/killall" (a name of "Dock" restarts the Dock) and
  // VirtualDock::kActivateSettings ("-u" makes the Dock reload its shortcuts); any other
  // executable does not exist.
  platform::ProcessResult run(const std::string& executable,
                              const std::vector<std::string>& arguments) override;
  // Knows "/bin/sh", "/usr/bin/tccutil", "/usr/bin/killall" and activateSettings; the
  // started process is recorded, and a started killall or activateSettings acts on the next
  // loop turn.
  platform::ProcessStart start(const std::string& executable,
                               const std::vector<std::string>& arguments) override;

  // ---- platform::LaunchServices ----
  bool openURL(const std::string& url) override;
  std::int32_t registerURL(const std::string& bundlePath, bool update) override;

  // ---- platform::Bundle ----
  Value infoDictionaryValue(const std::string& key) override;
  std::optional<std::string> bundleIdentifier() override { return bundle_.identifier; }
  std::string bundlePath() override { return bundle_.path; }

  // ---- platform::Application ----
  void setActivationPolicy(platform::ActivationPolicy policy) override;
  void setMainMenu(const std::vector<platform::Menu>& menus) override { mainMenu_ = menus; }
  void activateIgnoringOtherApps() override;
  // Answers with answerAlerts' choice (the first button when none was given); recorded.
  int runModalAlert(const platform::Alert& alert) override;
  // Recorded only: the test process goes on.
  void terminate() override;

  // ---- platform::LoginItems ----
  std::int64_t mainAppStatus() override { return loginItemStatus_; }
  std::optional<platform::LoginItemError> registerMainApp() override;
  std::optional<platform::LoginItemError> unregisterMainApp() override;

 private:
  friend class VirtualDock;

  VirtualMac(MainLoop& loop, std::unique_ptr<PlainHost> plain,
             std::optional<linuxhost::HostServices> host,
             std::optional<std::filesystem::path> home);

  SimDisplay* findDisplay(std::string_view uuid);
  SimSpace* findSpace(std::uint64_t id, SimDisplay** display = nullptr);
  SimWindow* findWindow(std::int64_t number);
  SimApp* findApp(pid_t pid);
  bool isRunning(pid_t pid) const;
  bool isOnScreen(const SimWindow& window) const;
  double mainDisplayHeight() const;
  AXRect axFrame(const SimDisplay& display) const;
  // Every change to displays or spaces goes through here so the cached layout is rebuilt.
  void layoutChanged() {
    layoutAnswer_.reset();
    menuBarMayMove();
  }
  // The front application or the active menu bar changed: the status items may move.
  void menuBarMayMove() {
    if (menuBar_) menuBar_->setNeedsLayout();
  }
  void insertWindow(SimWindow window, bool behindPeers = false);
  void raiseWindowsOf(pid_t pid, bool allWindows);
  void bringToFront(pid_t pid, bool allWindows);
  void furnish();
  void unfurnish();
  void postLater(const char* notification);
  void countCall(std::string_view function);
  platform::ProcessResult tccutil(const std::vector<std::string>& arguments);
  void addDockItem(const SimApp& app);
  void buildDockTree();
  // A pid no process has had on this machine.
  pid_t takeFreePID();
  // The Dock process ended and came back as dock().pid(): its application record, windows
  // and element tree move there.
  void dockRelaunched(pid_t oldPID);
  // What the Dock's tools do, run or started; the exit status and standard error.
  std::pair<int, std::string> dockTool(const std::string& executable,
                                       const std::vector<std::string>& arguments);

  MainLoop& loop_;
  std::unique_ptr<PlainHost> plainHost_;  // when no host services were given
  linuxhost::HostServices host_;
  Lifetime lifetime_;
  NotificationCenter workspaceCenter_;
  std::vector<SimDisplay> displays_;
  std::vector<SimApp> apps_;
  std::vector<SimWindow> windows_;  // front to back
  std::string activeMenuBarDisplay_;
  std::optional<pid_t> frontmost_;
  std::map<std::uint32_t, double> lastInput_;  // event type -> loop time
  mutable std::mutex callsMutex_;  // accessibility calls are counted from worker threads too
  std::map<std::string, int, std::less<>> calls_;
  std::optional<Value> layoutAnswer_;  // SLSCopyManagedDisplaySpaces, until the layout changes
  std::vector<std::int64_t> furnitureWindows_;
  bool furnished_ = false;
  std::optional<Value> spacesOverride_;
  std::optional<Value> windowListOverride_;
  std::optional<std::int32_t> setCurrentSpaceFailure_;
  bool directSwitchPosts_ = true;
  std::shared_ptr<AXTree> ax_;
  SimAXNodePtr dockList_;                    // the Dock's icon list, once furnished
  std::map<pid_t, SimAXNodePtr> dockItems_;  // application items of the icon list
  std::atomic<int> prompts_{0};
  SimBundle bundle_;
  std::vector<SimProcessRun> processRuns_;
  std::optional<std::pair<int, std::string>> tccutilFailure_;
  std::map<std::string, std::string> launchFailures_;
  std::vector<std::string> openedURLs_;
  std::vector<std::string> registeredBundles_;
  std::vector<SimProcessRun> processStarts_;
  std::set<pid_t> refusesTermination_;
  int terminateRequests_ = 0;
  std::int64_t loginItemStatus_ = platform::kLoginItemNotRegistered;
  std::optional<std::string> loginItemFailure_;
  platform::HomeFolder home_;
  bool ownsHome_ = false;
  std::unique_ptr<platform::Preferences> preferences_;
  std::unique_ptr<platform::KeyboardLayout> keyboard_;
  std::unique_ptr<VirtualDisks> disks_;
  std::unique_ptr<VirtualHotKeys> hotKeys_;
  std::unique_ptr<VirtualKeyboard> keys_;
  std::unique_ptr<VirtualDock> dock_;  // after the keyboard: it hooks into it
  std::unique_ptr<VirtualPanels> panels_;
  std::unique_ptr<VirtualMenuBar> menuBar_;
  VirtualOpenPanel openPanel_;
  int systemMajorVersion_ = 26;
  std::vector<platform::Menu> mainMenu_;
  std::vector<platform::Alert> alerts_;
  std::vector<std::string> alertAnswers_;
  std::uint64_t nextSpaceID_ = 1;
  pid_t nextPID_ = 600;
  std::int64_t nextWindow_ = 100;
  std::uint32_t nextDisplayNumber_ = 1;
};

}  // namespace velmora::sim
