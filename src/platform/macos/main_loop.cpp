#include "platform/macos/main_loop.h"

#include <CoreFoundation/CoreFoundation.h>
#include <dispatch/dispatch.h>

#include <algorithm>
#include <chrono>

#include "platform/macos/cf_ptr.h"

namespace velmora::macos {

namespace {

// The shortest repeat the run loop is given: a zero interval would make a one-shot timer, and
// macOS clamps shorter ones to this anyway.
constexpr double kShortestInterval = 0.0001;

void runPosted(void* context) {
  std::unique_ptr<Task> task(static_cast<Task*>(context));
  (*task)();
}

void postToMainQueue(Task task) {
  dispatch_async_f(dispatch_get_main_queue(), new Task(std::move(task)), runPosted);
}

// A timer's task lives as long as the timer does: the run loop releases the context's info
// when the timer itself goes, which for a firing timer is only after its callout returns.
void releaseTask(const void* info) {
  delete static_cast<const Task*>(info);
}

void runTimerTask(CFRunLoopTimerRef, void* info) {
  (*static_cast<Task*>(info))();
}

// A timer on the main run loop in the common modes, first firing `delay` seconds from now;
// `interval` 0 fires once.
CFPtr<CFRunLoopTimerRef> scheduleTimer(double delay, double interval, Task task) {
  CFRunLoopTimerContext context{0, new Task(std::move(task)), nullptr, releaseTask, nullptr};
  auto timer = CFPtr<CFRunLoopTimerRef>::adopt(
      CFRunLoopTimerCreate(kCFAllocatorDefault, CFAbsoluteTimeGetCurrent() + std::max(delay, 0.0),
                           interval, 0, 0, runTimerTask, &context));
  if (!timer) {
    releaseTask(context.info);  // no timer took the task over
    return nullptr;
  }
  CFRunLoopAddTimer(CFRunLoopGetMain(), timer.get(), kCFRunLoopCommonModes);
  return timer;
}

class RunLoopTimer final : public RepeatingTimer {
 public:
  RunLoopTimer(CFPtr<CFRunLoopTimerRef> timer, double interval, double tolerance)
      : timer_(std::move(timer)), interval_(interval), tolerance_(tolerance) {}
  ~RunLoopTimer() override { invalidate(); }

  void invalidate() override {
    if (timer_) CFRunLoopTimerInvalidate(timer_.get());
  }
  bool isValid() const override { return timer_ && CFRunLoopTimerIsValid(timer_.get()); }
  double interval() const override { return interval_; }
  double tolerance() const override { return tolerance_; }

 private:
  CFPtr<CFRunLoopTimerRef> timer_;
  double interval_;
  double tolerance_;
};

}  // namespace

double RunLoopMainLoop::now() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double RunLoopMainLoop::wallNow() const {
  return CFAbsoluteTimeGetCurrent() + kCFAbsoluteTimeIntervalSince1970;
}

void RunLoopMainLoop::post(Task task) {
  postToMainQueue(std::move(task));
}

void RunLoopMainLoop::after(double delay, Task task) {
  // The run loop keeps a scheduled timer until it has fired; our reference can go now.
  scheduleTimer(delay, 0, std::move(task));
}

std::unique_ptr<RepeatingTimer> RunLoopMainLoop::repeating(double interval, double tolerance,
                                                           Task tick) {
  interval = std::max(interval, kShortestInterval);
  if (tolerance < 0) tolerance = interval / 4;
  CFPtr<CFRunLoopTimerRef> timer = scheduleTimer(interval, interval, std::move(tick));
  if (timer) CFRunLoopTimerSetTolerance(timer.get(), tolerance);
  return std::make_unique<RunLoopTimer>(std::move(timer), interval, tolerance);
}

void RunLoopMainLoop::postFromAnyThread(Task task) {
  postToMainQueue(std::move(task));
}

void RunLoopMainLoop::run() {
  CFRunLoopRun();
}

}  // namespace velmora::macos
