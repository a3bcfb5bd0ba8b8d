#include "core/realtime_loop.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace velmora {

namespace {
double steadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
}  // namespace

RealtimeLoop::RealtimeLoop() : origin_(steadySeconds()) {}

double RealtimeLoop::now() const {
  return steadySeconds() - origin_;
}

double RealtimeLoop::wallNow() const {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void RealtimeLoop::run() {
  runUntil(std::numeric_limits<double>::infinity());
}

void RealtimeLoop::runFor(double seconds) {
  runUntil(now() + seconds);
}

void RealtimeLoop::stop() {
  std::lock_guard lock(inboxMutex_);
  stopRequested_ = true;
  wake_.notify_one();
}

void RealtimeLoop::runUntil(double deadline) {
  for (;;) {
    {
      std::lock_guard lock(inboxMutex_);
      if (stopRequested_) {
        stopRequested_ = false;
        return;
      }
    }
    drainInbox();
    double due;
    bool any = nextDue(due);
    double t = now();
    if (any && due <= t) {
      runNext();
      continue;
    }
    if (t >= deadline) return;
    double wakeAt = any ? std::min(due, deadline) : deadline;
    std::unique_lock lock(inboxMutex_);
    auto hasWork = [&] { return stopRequested_ || !inboxEmptyLocked(); };
    if (std::isinf(wakeAt)) {
      wake_.wait(lock, hasWork);
    } else {
      wake_.wait_for(lock, std::chrono::duration<double>(wakeAt - t), hasWork);
    }
  }
}

}  // namespace velmora
