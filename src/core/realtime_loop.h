#pragma once
// The main loop of interactive runs on Linux: the steady clock, and a thread that sleeps
// until the next due task or a cross-thread post wakes it.

#include <condition_variable>

#include "core/queued_loop.h"

namespace velmora {

class RealtimeLoop final : public QueuedLoop {
 public:
  RealtimeLoop();

  double now() const override;
  double wallNow() const override;

  // Runs until stop() is called (from a task or another thread).
  void run();
  // Runs for at most `seconds`, then returns; stop() ends it early.
  void runFor(double seconds);
  void stop();

 protected:
  void onInboxPost() override { wake_.notify_one(); }

 private:
  void runUntil(double deadline);

  std::condition_variable wake_;
  bool stopRequested_ = false;  // guarded by inboxMutex_
  double origin_;
};

}  // namespace velmora
