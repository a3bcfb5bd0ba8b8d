#include "platform/sim/machine.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace velmora::sim {

namespace {

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

// The window list keeps the menu bar and status items in front of everything and the desktop
// picture behind everything; all other windows share one stack ordered by recency.
std::int64_t stackRank(std::int32_t layer) {
  return layer >= kLayerMainMenu || layer <= kLayerDesktop ? layer : 0;
}

}  // namespace

Machine::Machine(MainLoop& loop, platform::HomeFolder home)
    : loop_(loop), home_(std::move(home)), ax_(std::make_shared<AXTree>(loop)) {}

// ---- Questions ----

const SimDisplay* Machine::findDisplay(std::string_view uuid) const {
  for (const auto& d : displays) {
    if (d.uuid == uuid) return &d;
  }
  return nullptr;
}

SimDisplay* Machine::findDisplay(std::string_view uuid) {
  return const_cast<SimDisplay*>(std::as_const(*this).findDisplay(uuid));
}

const SimSpace* Machine::findSpace(std::uint64_t id, const SimDisplay** display) const {
  for (const auto& d : displays) {
    for (const auto& s : d.spaces) {
      if (s.id == id) {
        if (display) *display = &d;
        return &s;
      }
    }
  }
  return nullptr;
}

SimSpace* Machine::findSpace(std::uint64_t id, SimDisplay** display) {
  const SimDisplay* holder = nullptr;
  const SimSpace* space = std::as_const(*this).findSpace(id, &holder);
  if (display && space) *display = const_cast<SimDisplay*>(holder);
  return const_cast<SimSpace*>(space);
}

const SimWindow* Machine::findWindow(std::int64_t number) const {
  for (const auto& w : windows) {
    if (w.number == number) return &w;
  }
  return nullptr;
}

SimWindow* Machine::findWindow(std::int64_t number) {
  return const_cast<SimWindow*>(std::as_const(*this).findWindow(number));
}

const SimApp* Machine::findApp(pid_t pid) const {
  for (const auto& a : apps) {
    if (a.pid == pid) return &a;
  }
  return nullptr;
}

SimApp* Machine::findApp(pid_t pid) {
  return const_cast<SimApp*>(std::as_const(*this).findApp(pid));
}

bool Machine::isRunning(pid_t pid) const {
  const SimApp* app = findApp(pid);
  return app && !app->terminated;
}

bool Machine::isOnScreen(const SimWindow& window) const {
  if (window.spaces.empty()) return true;
  return std::any_of(displays.begin(), displays.end(), [&](const SimDisplay& d) {
    return std::find(window.spaces.begin(), window.spaces.end(), d.currentSpaceID) !=
           window.spaces.end();
  });
}

double Machine::mainDisplayHeight() const {
  return displays.empty() ? 0 : displays.front().frame.size.height;
}

AXRect Machine::axFrame(const SimDisplay& display) const {
  return toAX(display.frame, mainDisplayHeight());
}

// ---- Changes ----

void Machine::layoutChanged() {
  layoutAnswer.reset();
  menuBarMayMove();
}

void Machine::postLater(const char* notification) {
  loop_.post(lifetime_.guard([this, notification] { workspaceCenter_.post(notification); }));
}

void Machine::insertWindow(SimWindow window, bool behindPeers) {
  std::int64_t rank = stackRank(window.layer);
  auto pos = std::find_if(windows.begin(), windows.end(), [&](const SimWindow& w) {
    std::int64_t r = stackRank(w.layer);
    return behindPeers ? r < rank : r <= rank;
  });
  windows.insert(pos, std::move(window));
}

// ---- Identifiers ----

SimSpace Machine::makeSpace(std::int64_t type, std::optional<std::int64_t> managedID) {
  SimSpace s;
  s.id = nextSpaceID_++;
  s.managedID = managedID.value_or(static_cast<std::int64_t>(s.id));
  s.type = type;
  s.uuid = spaceUUID(s.id);
  return s;
}

pid_t Machine::takeFreePID() {
  while (findApp(nextPID_)) ++nextPID_;
  return nextPID_++;
}

std::uint32_t Machine::takeDisplayNumber(std::optional<std::uint32_t> wanted) {
  std::uint32_t number = wanted.value_or(nextDisplayNumber_);
  nextDisplayNumber_ = std::max(nextDisplayNumber_, number + 1);
  return number;
}

// ---- Call counters ----

void Machine::countCall(std::string_view function) {
  std::lock_guard lock(callsMutex_);
  auto it = calls_.find(function);
  if (it == calls_.end()) {
    calls_.emplace(std::string(function), 1);
  } else {
    ++it->second;
  }
}

int Machine::callCount(const std::string& function) const {
  std::lock_guard lock(callsMutex_);
  auto it = calls_.find(function);
  return it == calls_.end() ? 0 : it->second;
}

}  // namespace velmora::sim
