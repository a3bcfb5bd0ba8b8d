#include "platform/sim/virtual_workspace.h"

#include <algorithm>
#include <utility>

namespace velmora::sim {

namespace {

constexpr std::uint32_t kAnyInputEventType = 0xFFFFFFFF;
// CGEventSourceSecondsSinceLastEventType for a type never produced: the machine has been up
// far longer than anything the loop has seen.
constexpr double kUptimeBeforeLoop = 100000;
// NSApplicationActivateAllWindows.
constexpr unsigned kActivateAllWindows = 1;

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

// ---- Applications ----

pid_t VirtualWorkspace::launch(SimApp app) {
  if (app.pid == 0) app.pid = machine_.takeFreePID();
  machine_.apps.push_back(std::move(app));
  const SimApp& added = machine_.apps.back();
  if (!added.terminated) {
    machine_.ax().addApplication(added.pid, added.name);
    dock_.applicationLaunched(added);
  }
  return added.pid;
}

void VirtualWorkspace::bringToFront(pid_t pid, bool allWindows) {
  machine_.frontmost = pid;
  machine_.menuBarMayMove();
  std::vector<SimWindow> raised;
  auto& windows = machine_.windows;
  for (auto it = windows.begin(); it != windows.end();) {
    if (it->owner == pid && (allWindows || raised.empty())) {
      raised.push_back(std::move(*it));
      it = windows.erase(it);
    } else {
      ++it;
    }
  }
  // Re-inserted back to front so the application's own stacking order is kept.
  for (auto it = raised.rbegin(); it != raised.rend(); ++it) machine_.insertWindow(std::move(*it));
}

void VirtualWorkspace::quit(pid_t pid) {
  SimApp* app = machine_.findApp(pid);
  if (!app || app->terminated) return;
  app->terminated = true;
  onQuitRequest_.erase(pid);
  machine_.ax().applicationQuit(pid);
  dock_.applicationQuit(pid);
  std::erase_if(machine_.windows, [&](const SimWindow& w) { return w.owner == pid; });
  if (machine_.frontmost != pid) return;
  // The application that owns the frontmost visible window takes over, as after ⌘Q.
  machine_.frontmost.reset();
  for (const auto& w : machine_.windows) {
    const SimApp* next = machine_.findApp(w.owner);
    if (w.layer == kLayerNormal && machine_.isOnScreen(w) && next &&
        next->policy == platform::ActivationPolicy::Regular) {
      machine_.frontmost = w.owner;
      machine_.menuBarMayMove();
      break;
    }
  }
}

void VirtualWorkspace::refuseTermination(pid_t pid, bool refuses) {
  if (refuses) {
    refusesTermination_.insert(pid);
  } else {
    refusesTermination_.erase(pid);
  }
}

void VirtualWorkspace::setOnQuitRequest(pid_t pid, std::function<void()> onQuitRequest) {
  if (onQuitRequest) {
    onQuitRequest_[pid] = std::move(onQuitRequest);
  } else {
    onQuitRequest_.erase(pid);
  }
}

bool VirtualWorkspace::requestQuit(pid_t pid) {
  if (!machine_.isRunning(pid) || refusesTermination_.contains(pid)) return false;
  machine_.loop().post(lifetime_.guard([this, pid] {
    if (!machine_.isRunning(pid)) return;  // it ended meanwhile
    if (auto handler = onQuitRequest_.find(pid); handler != onQuitRequest_.end()) {
      auto heard = handler->second;  // the handler may remove itself
      heard();
    } else {
      quit(pid);
    }
  }));
  return true;
}

// ---- platform::Workspace ----

std::optional<platform::RunningApplication> VirtualWorkspace::runningApplication(pid_t pid) {
  const SimApp* app = machine_.findApp(pid);
  if (!app || app->terminated) return std::nullopt;
  return describeApp(*app);
}

std::vector<platform::RunningApplication> VirtualWorkspace::runningApplications() {
  std::vector<platform::RunningApplication> running;
  for (const auto& app : machine_.apps) {
    if (!app.terminated) running.push_back(describeApp(app));
  }
  return running;
}

std::optional<platform::RunningApplication> VirtualWorkspace::frontmostApplication() {
  if (!machine_.frontmost) return std::nullopt;
  return runningApplication(*machine_.frontmost);
}

bool VirtualWorkspace::activate(pid_t pid, unsigned options) {
  if (!machine_.isRunning(pid)) return false;
  bringToFront(pid, options & kActivateAllWindows);
  return true;
}

bool VirtualWorkspace::terminate(pid_t pid) {
  machine_.countCall("NSRunningApplication.terminate");
  return requestQuit(pid);
}

bool VirtualWorkspace::forceTerminate(pid_t pid) {
  machine_.countCall("NSRunningApplication.forceTerminate");
  if (!machine_.isRunning(pid)) return false;
  quit(pid);
  return true;
}

ObserverToken VirtualWorkspace::observeActiveSpaceChanged(std::function<void()> fn) {
  return machine_.observeWorkspace(kActiveSpaceDidChange, std::move(fn));
}

ObserverToken VirtualWorkspace::observeScreenParametersChanged(std::function<void()> fn) {
  return machine_.observeWorkspace(kScreenParametersDidChange, std::move(fn));
}

ObserverToken VirtualWorkspace::observeSession(platform::SessionEvent event,
                                               std::function<void()> fn) {
  const char* name = kScreensDidSleep;
  switch (event) {
    case platform::SessionEvent::screensDidSleep:
      name = kScreensDidSleep;
      break;
    case platform::SessionEvent::screensDidWake:
      name = kScreensDidWake;
      break;
    case platform::SessionEvent::sessionDidResignActive:
      name = kSessionDidResignActive;
      break;
    case platform::SessionEvent::sessionDidBecomeActive:
      name = kSessionDidBecomeActive;
      break;
  }
  return machine_.observeWorkspace(name, std::move(fn));
}

// ---- platform::Screens ----

std::vector<platform::ScreenInfo> VirtualWorkspace::screens() {
  std::vector<platform::ScreenInfo> result;
  result.reserve(machine_.displays.size());
  for (const auto& d : machine_.displays) {
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

Value VirtualWorkspace::displayUUIDString(std::uint32_t displayID) {
  machine_.countCall("CGDisplayCreateUUIDFromDisplayID");
  for (const auto& d : machine_.displays) {
    if (d.displayNumber == displayID) return Value(d.uuid);
  }
  return nullptr;
}

// ---- platform::InputClocks ----

double VirtualWorkspace::secondsSinceLastEventType(std::int32_t, std::uint32_t eventType) {
  machine_.countCall("CGEventSourceSecondsSinceLastEventType");
  double now = machine_.loop().now();
  std::optional<double> last;
  if (eventType == kAnyInputEventType) {
    for (const auto& [type, at] : machine_.lastInput) last = std::max(last.value_or(at), at);
  } else if (auto it = machine_.lastInput.find(eventType); it != machine_.lastInput.end()) {
    last = it->second;
  }
  return last ? now - *last : now + kUptimeBeforeLoop;
}

}  // namespace velmora::sim
