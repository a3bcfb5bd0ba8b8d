#pragma once
// One of every Mac service, owned together and handed out as the platform::Platform a running
// Velmora talks to. Made once, on the main thread, after the shared NSApplication exists.

#include <memory>

#include "platform/macos/main_loop.h"
#include "platform/platform.h"

namespace velmora::macos {

class MacPlatform {
 public:
  MacPlatform();
  ~MacPlatform();
  MacPlatform(const MacPlatform&) = delete;
  MacPlatform& operator=(const MacPlatform&) = delete;

  // Every service by reference; the home folder is NSHomeDirectory() and the system's major
  // version NSProcessInfo's operatingSystemVersion.
  platform::Platform platform();
  RunLoopMainLoop& loop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora::macos
