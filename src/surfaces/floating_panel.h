#pragma once
// The borderless, non-activating panel every on-screen surface other than the settings
// window lives in. Each surface gives its size, level, whether it takes input, whether it has
// a window shadow, and its collection and animation behaviour; everything else is the same
// for all of them (clear, never hidden on deactivation, kept when closed, dark).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/panels.h"

namespace velmora {

struct FloatingPanel {
  struct Options {
    Size size;
    int level = 0;
    bool interactive = false;
    bool hasShadow = false;
    std::uint64_t collectionBehavior = platform::kCollectionFloating;
    platform::WindowAnimation animation = platform::WindowAnimation::none;
    std::string name;  // for the records and the logs
  };
  // The panel, made at once (never deferred) and not yet on screen. A panel that takes no
  // input ignores mouse events; only one that does can become the key window.
  static std::unique_ptr<platform::Panel> make(platform::Panels& panels, Options options);
};

}  // namespace velmora
