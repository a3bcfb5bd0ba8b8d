#include "platform/sim/virtual_dock.h"

#include <algorithm>
#include <string>

#include "platform/key_codes.h"

namespace velmora::sim {

namespace {

constexpr const char* kDomain = "com.apple.symbolichotkeys";
constexpr const char* kKey = "AppleSymbolicHotKeys";
constexpr std::uint64_t kModifierMask = platform::kEventFlagControl | platform::kEventFlagOption |
                                        platform::kEventFlagShift | platform::kEventFlagCommand;

using Shortcut = VirtualDock::Shortcut;

bool isEnabled(const Value& entry) {
  const Value* enabled = entry.find("enabled");
  if (!enabled) return false;
  if (enabled->asBool() == true) return true;
  return enabled->kind() == Value::Kind::Integer && enabled->asInteger() == 1;
}

// An entry as the Dock reads it: off gives nothing; on without usable parameters gives the
// fallback.
std::optional<Shortcut> parse(const Value& entry, std::optional<Shortcut> fallback) {
  if (!isEnabled(entry)) return std::nullopt;
  const Value* value = entry.find("value");
  const Value* parameters = value ? value->find("parameters") : nullptr;
  const Value::Array* list = parameters ? parameters->asArray() : nullptr;
  if (!list || list->size() < 3 || !(*list)[1].isNumber() || !(*list)[2].isNumber()) {
    return fallback;
  }
  std::optional<std::int64_t> keyCode = (*list)[1].asInteger();
  std::optional<std::int64_t> flags = (*list)[2].asInteger();
  if (!keyCode || *keyCode < 0 || *keyCode > UINT32_MAX || !flags) return fallback;
  return Shortcut{static_cast<std::uint32_t>(*keyCode),
                  static_cast<std::uint64_t>(*flags) & kModifierMask};
}

}  // namespace

VirtualDock::VirtualDock(Machine& machine, platform::Preferences& preferences,
                         VirtualKeyboard& keyboard, VirtualWindowServer& windowServer,
                         DockTree& tree, VirtualMissionControl& missionControl)
    : machine_(machine),
      preferences_(preferences),
      keyboard_(keyboard),
      windowServer_(windowServer),
      tree_(tree),
      missionControl_(missionControl) {
  missionControl_.setDockPID(pid_);
  missionControl_.setOnSwitch(lifetime_.guard([this](std::uint64_t spaceID) {
    enqueue({Step::Kind::space, spaceID});
  }));
  readShortcuts();
  keyboard_.setSystemShortcutHandler(
      [this](const platform::KeyboardEvent& event) { return keyDown(event); });
}

VirtualDock::~VirtualDock() {
  keyboard_.setSystemShortcutHandler(nullptr);
  missionControl_.setOnSwitch(nullptr);
}

void VirtualDock::restart() {
  std::int32_t old = pid_;
  // Mission Control goes down with the Dock that showed it; on macOS 27 the window manager
  // shows it but the Dock drives it, so it closes there too.
  if (missionControl_.hostPID() == old) {
    missionControl_.hostEnded();
  } else {
    missionControl_.close();
  }
  pid_ = machine_.takeFreePID();
  missionControl_.setDockPID(pid_);
  tree_.relaunched(old, pid_);
  ++restarts_;
  ++generation_;
  queue_.clear();
  sliding_ = false;
  readShortcuts();
}

void VirtualDock::reloadShortcuts() {
  readShortcuts();
}

void VirtualDock::readShortcuts() {
  ++shortcutReads_;
  shortcuts_.clear();
  Value all = preferences_.value(kDomain, kKey);
  const Value::Dictionary* entries = all.asDictionary();
  auto entry = [&](int id) -> const Value* {
    if (!entries) return nullptr;
    auto it = entries->find(std::to_string(id));
    return it == entries->end() ? nullptr : &it->second;
  };
  for (int id = kFirstDesktopID; id < kFirstDesktopID + 10; ++id) {
    const Value* e = entry(id);
    if (auto shortcut = e ? parse(*e, std::nullopt) : std::nullopt) shortcuts_[id] = *shortcut;
  }
  // The move shortcuts are on out of the box: only an entry that turns one off removes it.
  for (auto [id, key] : {std::pair{kMoveLeftID, platform::keys::kLeftArrow},
                         std::pair{kMoveRightID, platform::keys::kRightArrow},
                         std::pair{kMissionControlID, platform::keys::kUpArrow}}) {
    Shortcut fallback{key, platform::kEventFlagControl};
    const Value* e = entry(id);
    if (!e || !e->asDictionary()) {
      shortcuts_[id] = fallback;
    } else if (auto shortcut = parse(*e, fallback)) {
      shortcuts_[id] = *shortcut;
    }
  }
}

bool VirtualDock::keyDown(const platform::KeyboardEvent& event) {
  if (!event.keyDown) return false;
  if (event.keyCode == platform::keys::kEscape && missionControl_.isOpen()) {
    missionControl_.close();
    return true;
  }
  for (const auto& [id, shortcut] : shortcuts_) {
    if (shortcut.keyCode != event.keyCode || shortcut.flags != (event.flags & kModifierMask)) {
      continue;
    }
    if (id == kMissionControlID) {
      missionControl_.toggle();
    } else if (id == kMoveLeftID) {
      enqueue({Step::Kind::left});
    } else if (id == kMoveRightID) {
      enqueue({Step::Kind::right});
    } else {
      enqueue({Step::Kind::desktop, static_cast<std::uint64_t>(id - kFirstDesktopID + 1)});
    }
    return true;
  }
  return false;
}

void VirtualDock::enqueue(Step step) {
  queue_.push_back(step);
  if (!sliding_) startNext();
}

// Each step is resolved when its turn comes, so a move counts from where the one before it
// landed. A step that goes nowhere (past the last desktop, off either end) ends at once.
void VirtualDock::startNext() {
  while (!queue_.empty()) {
    Step step = queue_.front();
    queue_.pop_front();
    std::optional<std::uint64_t> to = target(step);
    if (!to) continue;
    sliding_ = true;
    machine_.loop().after(animation_, lifetime_.guard([this, to = *to, generation = generation_] {
      if (generation != generation_) return;
      sliding_ = false;
      // The space may have gone while the Dock was sliding to it.
      if (machine_.findSpace(to)) windowServer_.switchTo(to);
      startNext();
    }));
    return;
  }
}

std::optional<std::uint64_t> VirtualDock::target(const Step& step) const {
  const auto& displays = machine_.displays;
  switch (step.kind) {
    case Step::Kind::space:
      return step.value;
    case Step::Kind::desktop: {
      // Desktops are numbered across the displays in order; full-screen spaces have no number.
      std::uint64_t number = 0;
      for (const SimDisplay& d : displays) {
        for (const SimSpace& s : d.spaces) {
          if (s.type != kSpaceTypeDesktop || ++number != step.value) continue;
          if (s.id == d.currentSpaceID && machine_.activeMenuBarDisplay == d.uuid) {
            return std::nullopt;
          }
          return s.id;
        }
      }
      return std::nullopt;
    }
    case Step::Kind::left:
    case Step::Kind::right: {
      const SimDisplay* d = machine_.findDisplay(machine_.activeMenuBarDisplay);
      if (!d) return std::nullopt;
      const auto& spaces = d->spaces;
      auto current = std::find_if(spaces.begin(), spaces.end(),
                                  [&](const SimSpace& s) { return s.id == d->currentSpaceID; });
      if (current == spaces.end()) return std::nullopt;
      if (step.kind == Step::Kind::left) {
        if (current == spaces.begin()) return std::nullopt;
        return std::prev(current)->id;
      }
      if (std::next(current) == spaces.end()) return std::nullopt;
      return std::next(current)->id;
    }
  }
  return std::nullopt;
}

}  // namespace velmora::sim
