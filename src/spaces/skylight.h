#pragma once
// The window-server bridge. Everything the system knows about displays, spaces and windows
// comes through here: it makes the platform calls and turns their loosely typed answers
// into plain records. Parsing is forgiving and never fails as a whole; every missing or
// mistyped value falls back to a documented default, and only a space without an id or a
// window that is not an ordinary, sizeable, owned application window is dropped.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ids.h"
#include "core/value.h"
#include "platform/screens.h"
#include "platform/window_server.h"

namespace velmora {

class SkyLight {
 public:
  // One managed space as the window server reports it.
  struct Space {
    SpaceID id;               // "id64": what switching and window calls take
    ManagedID managedID;      // "ManagedSpaceID": the key of the user's metadata
    std::int64_t type = 0;    // 0 is an ordinary desktop; anything else is not one
    std::string displayUUID;  // the owning display's "Display Identifier"

    bool isDesktop() const { return type == 0; }
    bool operator==(const Space&) const = default;
  };

  struct Display {
    std::string uuid;           // "" when the window server gave none
    SpaceID currentSpaceID;     // 0 when unknown
    std::vector<Space> spaces;  // left to right, as in Mission Control

    bool operator==(const Display&) const = default;
  };

  // One ordinary on-screen application window.
  struct WindowInfo {
    std::int64_t id = 0;
    std::int32_t pid = 0;
    bool operator==(const WindowInfo&) const = default;
  };

  SkyLight(platform::WindowServer& server, platform::Screens& screens)
      : server_(server), screens_(screens) {}

  // ---- Parsing, usable on any answer (the fuzzer and tests feed these directly) ----
  static std::vector<Display> parseDisplays(const Value& answer);
  static std::optional<WindowInfo> parseWindow(const Value& entry);
  static std::vector<WindowInfo> parseWindows(const Value& answer);

  // ---- Operations ----
  std::vector<Display> displays();
  // The platform's status code, unchanged: 0 means done.
  std::int32_t setCurrentSpace(const Space& space);
  std::optional<std::string> activeMenuBarDisplay();
  std::optional<std::string> spaceName(const Space& space);
  std::vector<std::int64_t> windowIDs(SpaceID space);
  std::vector<WindowInfo> windows();
  std::optional<std::int64_t> frontWindow(std::int32_t pid);
  void moveWindow(std::int64_t window, SpaceID space);
  std::optional<std::string> displayUUID(std::uint32_t displayNumber);
  std::optional<platform::ScreenInfo> screen(const std::string& displayUUID);
  // The screen the user works on: the one with the active menu bar, where the key window is;
  // the first screen only when the window server names none. None without screens.
  std::optional<platform::ScreenInfo> workingScreen();

 private:
  platform::ConnectionID connection();

  platform::WindowServer& server_;
  platform::Screens& screens_;
  std::optional<platform::ConnectionID> connection_;
};

}  // namespace velmora
