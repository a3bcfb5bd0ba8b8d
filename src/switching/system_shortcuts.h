#pragma once
// The system's own desktop shortcuts, as macOS keeps them in "com.apple.symbolichotkeys":
// which Switch to Desktop N and move-one-space shortcuts are on, and with which keys, and
// turning the desktop shortcuts on. Every question reads the preferences afresh; the user may
// change them in System Settings at any time.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/line_log.h"
#include "core/main_loop.h"
#include "platform/preferences.h"
#include "platform/process_runner.h"
#include "store/hotkey.h"

namespace velmora {

class Settings;

class SystemShortcuts {
 public:
  static constexpr const char* kDomain = "com.apple.symbolichotkeys";
  static constexpr const char* kKey = "AppleSymbolicHotKeys";

  // One key combination: a virtual key code, event flags and its printable form ("⌃←").
  struct Combo {
    std::uint32_t keyCode = 0;
    std::uint64_t flags = 0;
    std::string display;
    bool operator==(const Combo&) const = default;
  };
  enum class Direction { left, right };

  // The helper that makes the Dock reload its preferences, and the tool that restarts it.
  static constexpr const char* kActivateSettings =
      "/System/Library/PrivateFrameworks/SystemAdministration.framework/Resources/"
      "activateSettings";
  static constexpr const char* kKillall = "/usr/bin/killall";

  // How a toast is shown on the switch tag: text, symbol name, seconds on screen.
  using Toast = std::function<void(std::string text, std::string symbol, double seconds)>;

  // `switchesLog` hears the tools that could not be run; it may be null.
  SystemShortcuts(platform::Preferences& preferences, const KeyNames& keyNames,
                  platform::ProcessRunner& processes, LineLog* switchesLog)
      : preferences_(preferences),
        keyNames_(keyNames),
        processes_(processes),
        switchesLog_(switchesLog) {}

  // The enabled shortcut of Switch to Desktop N (1…10); none when it is off or unusable.
  std::optional<Combo> combo(int desktopNumber) const;
  // The move-one-space shortcut; ⌃← / ⌃→ when the system has no usable entry, none when the
  // user turned it off.
  std::optional<Combo> combo(Direction direction) const;
  // How many of desktops 1…10 have a usable shortcut.
  int enabledCount() const;

  // Turns on Switch to Desktop 1…count (clamped to 1…10) as ⌃1…⌃0, keeping every one the
  // user already has on, then has the Dock load them: activateSettings is run and waited
  // for, and the Dock is restarted. False when the preferences could not be written.
  bool enable(int count);
  // The one-time turning on when Velmora may press keys: with native switching on and not
  // done before, the shortcuts for the first min(desktopCount, 10) desktops are enabled if any
  // is missing, and 1.5 s later the switch tag says so (not if this object is gone by then).
  // Marks the step done either way; true when it enabled.
  bool autoEnable(Settings& settings, int desktopCount, MainLoop& loop, Toast toast);

 private:
  Value::Dictionary entries() const;
  std::optional<Combo> parse(const Value& entry, std::optional<Combo> fallback) const;

  // Runs or starts a tool; a tool that cannot be launched is logged and skipped.
  void runTool(const char* executable, const std::vector<std::string>& arguments, bool wait);

  platform::Preferences& preferences_;
  const KeyNames& keyNames_;
  platform::ProcessRunner& processes_;
  LineLog* switchesLog_;
  Lifetime lifetime_;
};

}  // namespace velmora
