#pragma once
// The virtual Mac's keyboard: key events from the user and synthetic ones posted at the HID
// tap, routed as on a Mac. A registered global hot key takes a press first; otherwise a system
// shortcut the Dock has enabled acts on it; otherwise it reaches Velmora's own key window
// when one is key — its local monitors, then the focused text field of the key panel — else
// the front application.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/main_loop.h"
#include "platform/keyboard_events.h"
#include "platform/local_event_monitors.h"
#include "platform/sim/machine.h"
#include "platform/sim/virtual_hotkeys.h"
#include "platform/sim/virtual_panels.h"

namespace velmora::sim {

class VirtualKeyboard final : public platform::KeyboardEvents, public platform::LocalEventMonitors {
 public:
  // Who a key-down went to.
  struct Delivery {
    platform::KeyboardEvent event;
    bool synthetic = false;
    std::string receiver;  // "hot key", "system shortcut", "Velmora", or the application's name
    // Text committed by an input method rather than typed by a key (`event` is then empty).
    bool textInput = false;
    std::string text;
    // What went into Velmora's focused text field: the characters typed or inserted, "⌫" for
    // a character deleted; empty when the field did not change.
    std::string edit;
  };

  // Every key event advances the machine's input clocks; a key no one else takes goes to the
  // machine's front application.
  VirtualKeyboard(Machine& machine, VirtualHotKeys& hotKeys);

  // ---- platform::KeyboardEvents: routed on the next loop turn, in posting order ----
  bool post(std::int32_t sourceStateID, const platform::KeyboardEvent& event,
            std::uint32_t tapLocation) override;

  // ---- platform::LocalEventMonitors ----
  platform::LocalMonitorID addLocalMonitor(
      std::uint64_t mask, std::function<bool(const platform::LocalKeyEvent&)> handler) override;
  void removeMonitor(platform::LocalMonitorID monitor) override;
  void beep() override { ++beeps_; }

  // ---- The user ----
  // Presses a combination as a person does: each modifier key down, the key down and up,
  // the modifiers up; `flags` are CGEventFlags. Routed on the next loop turn.
  void userPress(std::uint16_t keyCode, std::uint64_t flags);
  // Types `text` as a person at a U.S. keyboard does: a key press (Shift held where needed)
  // for each character the keyboard has a key for; a run of characters it has none for
  // (emoji, accented or non-Latin letters) is committed as text input, as an input method or
  // the character viewer does. Routed on the next loop turn, in order.
  void userType(const std::string& text);
  // Text committed by an input method: no key press, so no hot key, shortcut or monitor sees
  // it; it goes into Velmora's focused field when Velmora's window is key. Routed on the next
  // loop turn.
  void userInsertText(const std::string& text);
  // Another of Velmora's windows (the settings window) becomes key or stops being key; the
  // key panel, if any, resigns when it does. A panel becoming key ends it.
  void setVelmoraWindowKey(bool key);
  // Whether one of Velmora's windows is key: one of its panels, or the settings window.
  bool velmoraWindowKey() const;
  // The panels whose key status and text fields the keyboard follows (set once, by the
  // machine).
  void attachPanels(VirtualPanels& panels);
  // The field keys type into now: the focused text field of the key panel; null when none.
  VirtualTextField* focusedField() const;

  // Who acts on the system's shortcuts (the Dock): it answers true when it took the key-down.
  // None: no system shortcut acts.
  void setSystemShortcutHandler(std::function<bool(const platform::KeyboardEvent&)> handler) {
    systemShortcuts_ = std::move(handler);
  }

  // ---- Looking ----
  const std::vector<platform::KeyboardEvent>& postedEvents() const { return posted_; }
  const std::vector<Delivery>& deliveries() const { return deliveries_; }
  int beeps() const { return beeps_; }
  std::size_t monitorCount() const { return monitors_.size(); }

 private:
  void route(const platform::KeyboardEvent& event, bool synthetic);
  void routeText(const std::string& text);
  // What a key-down no monitor took does to the focused field (see Delivery::edit).
  std::string edit(const platform::KeyboardEvent& event);

  Machine& machine_;
  VirtualHotKeys& hotKeys_;
  std::function<bool(const platform::KeyboardEvent&)> systemShortcuts_;
  std::vector<platform::KeyboardEvent> posted_;
  std::vector<Delivery> deliveries_;
  std::map<platform::LocalMonitorID,
           std::pair<std::uint64_t, std::function<bool(const platform::LocalKeyEvent&)>>>
      monitors_;
  platform::LocalMonitorID nextMonitor_ = 1;
  VirtualPanels* panels_ = nullptr;
  bool velmoraKey_ = false;  // a window other than a panel
  int beeps_ = 0;
  Lifetime lifetime_;
};

}  // namespace velmora::sim
