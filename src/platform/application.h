#pragma once
// The application object's lifecycle (NSApplication).

namespace velmora::platform {

class Application {
 public:
  virtual ~Application() = default;
  // NSApplication.terminate(nil): applicationWillTerminate: runs, then the process ends.
  virtual void terminate() = 0;
};

}  // namespace velmora::platform
