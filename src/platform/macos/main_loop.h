#pragma once
// The main loop on a Mac: the main run loop for timers, the main dispatch queue for posted
// work. Timers run in the common modes, so they keep firing while a menu is open or a window
// is dragged.

#include "core/main_loop.h"

namespace velmora::macos {

class RunLoopMainLoop final : public MainLoop {
 public:
  // The monotonic clock: wall-clock changes (a time zone trip, a manual set) never move it.
  double now() const override;
  double wallNow() const override;

  // dispatch_async_f on the main queue.
  void post(Task task) override;
  // A one-shot CFRunLoopTimer on the main run loop.
  void after(double delay, Task task) override;
  // A repeating CFRunLoopTimer with CFRunLoopTimerSetTolerance; dropping the handle
  // invalidates it, and its tick never runs after that.
  std::unique_ptr<RepeatingTimer> repeating(double interval, double tolerance, Task tick) override;
  // The main queue takes work from any thread.
  void postFromAnyThread(Task task) override;

  // Runs the main run loop until it is stopped (CFRunLoopRun). The application runs it
  // through NSApplication instead; this is for a process without one.
  void run();
};

}  // namespace velmora::macos
