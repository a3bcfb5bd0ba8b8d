#pragma once
// The model behind the shortcut recorder of the settings window and the desktop editor: a
// button that, once clicked, takes the next key combination typed into Velmora's window as
// the new shortcut. While it records, the global hotkeys are suspended so an existing
// combination can be recorded instead of firing.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/signal.h"
#include "platform/local_event_monitors.h"
#include "store/hotkey.h"
#include "switching/hotkey_center.h"

namespace velmora {

class RecorderButton {
 public:
  static constexpr std::string_view kRecordingTitle = "Press shortcut…";
  static constexpr std::string_view kEmptyTitle = "Click to record";
  static constexpr std::string_view kRemoveTitle = "Remove shortcut";

  RecorderButton(platform::LocalEventMonitors& monitors, HotkeyCenter& center,
                 const KeyNames& names, std::optional<Hotkey> hotkey = std::nullopt);
  // A recorder closed mid-recording gives the keyboard back and wakes the hotkeys up.
  ~RecorderButton();
  RecorderButton(const RecorderButton&) = delete;
  RecorderButton& operator=(const RecorderButton&) = delete;

  // Told of every shortcut the user records or removes.
  void setOnChange(std::function<void(const std::optional<Hotkey>&)> fn) {
    onChange_ = std::move(fn);
  }
  void setOnRecordingChange(std::function<void(bool recording)> fn) {
    onRecordingChange_ = std::move(fn);
  }

  const std::optional<Hotkey>& hotkey() const { return hotkey_; }
  // Shows a shortcut changed elsewhere; onChange is not called.
  void setHotkey(std::optional<Hotkey> hotkey);
  bool recording() const { return recording_; }

  std::string title() const;
  // While recording, the title is drawn in the system accent colour.
  bool titleUsesAccentColor() const { return recording_; }
  // Fires whenever the title or its colour changes.
  Signal& changed() { return changed_; }

  // The button: starts recording, or cancels a recording.
  void click();
  // The "Remove shortcut" control beside it: ends any recording and clears the shortcut.
  void remove();

  // Keys that count as a shortcut without any modifier: F1 … F12.
  static bool isFunctionKey(std::uint32_t keyCode);

 private:
  std::function<void(const std::optional<Hotkey>&)> onChange_;
  std::function<void(bool recording)> onRecordingChange_;
  void start();
  void stop();
  // Answers true when the event is consumed.
  bool handle(const platform::LocalKeyEvent& event);

  platform::LocalEventMonitors& monitors_;
  HotkeyCenter& center_;
  const KeyNames& names_;
  std::optional<Hotkey> hotkey_;
  bool recording_ = false;
  std::optional<platform::LocalMonitorID> monitor_;
  Signal changed_;
};

}  // namespace velmora
