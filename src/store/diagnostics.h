#pragma once
// The diagnostics text: a one-shot, human-readable snapshot of Velmora's state plus the tail
// of the Mission Control log, which the settings window copies for problem reports. It is
// for people, not machines.
//
// This layer sits below the space engine and the surfaces, so what they know arrives through
// DiagnosticsSources, asked once per text at the moment it is built. Every answer is pure
// virtual on purpose: each owner has to say what it really knows, nothing is defaulted.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ids.h"
#include "platform/screens.h"
#include "store/space_meta.h"

namespace velmora {

class LogFile;
class Settings;

// The system's own desktop shortcuts, as they stand now.
struct SystemShortcutsState {
  // How many of the Switch to Desktop shortcuts are on.
  int switchToDesktopOn = 0;
  // The move-one-space-left and -right shortcuts, each its display form (⌃←) or none when off.
  std::optional<std::string> moveLeft;
  std::optional<std::string> moveRight;
};

// One space of a display, in the window server's order.
struct DiagnosticsSpace {
  SpaceID id;
  ManagedID managedID;
  std::int64_t type = 0;

  // What a space that is a user desktop shows.
  struct Desktop {
    int number = 0;
    std::string title;      // as every surface shows it (presentation mode included)
    SpaceIcon icon;         // the icon shown, likewise
    TileColor storedColor;  // the colour the user stored, even while presenting
  };
  std::optional<Desktop> desktop;  // none for full-screen and other non-desktop spaces
};

struct DiagnosticsDisplay {
  std::string uuid;
  SpaceID currentSpaceID;
  std::vector<DiagnosticsSpace> spaces;
};

class DiagnosticsSources {
 public:
  virtual ~DiagnosticsSources() = default;

  // The live AXIsProcessTrusted answer.
  virtual bool accessibilityTrusted() = 0;
  virtual SystemShortcutsState systemShortcuts() = 0;
  // Every connected screen.
  virtual std::vector<platform::ScreenInfo> screens() = 0;
  // One description per screen with a camera notch, in the notch label's words.
  virtual std::vector<std::string> notches() = 0;
  // The menu bar tile's own report of where it stands.
  virtual std::string menuBarTile() = 0;
  // The engine's displays with their spaces.
  virtual std::vector<DiagnosticsDisplay> displays() = 0;
  // Titles of the engine's current and previous desktops; none when there is no such desktop.
  virtual std::optional<std::string> focusedTitle() = 0;
  virtual std::optional<std::string> lastTitle() = 0;
  virtual bool missionControlOpen() = 0;
  // The overlay's last look at Mission Control's desktop bars while it is open; empty when
  // it is closed or the look found nothing.
  virtual std::string missionControlLastPass() = 0;
};

// How much of the Mission Control log the text carries.
inline constexpr std::size_t kDiagnosticsLogTail = 6000;

// One screen as the text shows it: [id=1 'Built-in Display' 0,0 1512x982 visible 0,0
// 1512x944 @2x].
std::string describeScreen(const platform::ScreenInfo& screen);

std::string diagnosticsText(DiagnosticsSources& sources, const Settings& settings,
                            const LogFile& missionControlLog);

}  // namespace velmora
