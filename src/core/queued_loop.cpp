#include "core/queued_loop.h"

#include <algorithm>
#include <cmath>

namespace velmora {

struct QueuedLoop::TimerState {
  double interval;
  double tolerance;
  Task tick;
  bool valid = true;
};

namespace {

class QueuedTimer final : public RepeatingTimer {
 public:
  explicit QueuedTimer(std::shared_ptr<void> state, bool* valid, double interval, double tolerance)
      : state_(std::move(state)), valid_(valid), interval_(interval), tolerance_(tolerance) {}
  ~QueuedTimer() override { invalidate(); }
  void invalidate() override { *valid_ = false; }
  bool isValid() const override { return *valid_; }
  double interval() const override { return interval_; }
  double tolerance() const override { return tolerance_; }

 private:
  std::shared_ptr<void> state_;  // keeps `valid_` alive
  bool* valid_;
  double interval_;
  double tolerance_;
};

}  // namespace

void QueuedLoop::schedule(double due, Task task, std::shared_ptr<TimerState> timer) {
  queue_.push_back(Entry{due, seq_++, std::move(task), std::move(timer)});
  std::push_heap(queue_.begin(), queue_.end(), Later());
}

void QueuedLoop::post(Task task) {
  schedule(now(), std::move(task), nullptr);
}

void QueuedLoop::after(double delay, Task task) {
  schedule(now() + std::max(0.0, delay), std::move(task), nullptr);
}

std::unique_ptr<RepeatingTimer> QueuedLoop::repeating(double interval, double tolerance,
                                                      Task tick) {
  // A zero or negative interval would spin; macOS clamps such timers to 0.1 ms.
  interval = std::max(interval, 0.0001);
  if (tolerance < 0) tolerance = interval / 4;
  auto state = std::make_shared<TimerState>(TimerState{interval, tolerance, std::move(tick)});
  schedule(now() + interval, nullptr, state);
  return std::make_unique<QueuedTimer>(state, &state->valid, interval, tolerance);
}

void QueuedLoop::postFromAnyThread(Task task) {
  std::lock_guard lock(inboxMutex_);
  inbox_.push_back(std::move(task));
  onInboxPost();
}

std::size_t QueuedLoop::pendingCount() const {
  std::lock_guard lock(inboxMutex_);
  return queue_.size() + inbox_.size();
}

std::vector<QueuedLoop::PendingWork> QueuedLoop::pendingWork() const {
  std::vector<const Entry*> entries;
  entries.reserve(queue_.size());
  for (const Entry& entry : queue_) {
    if (!entry.timer || entry.timer->valid) entries.push_back(&entry);
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry* a, const Entry* b) { return Later()(*b, *a); });
  std::vector<PendingWork> work;
  work.reserve(entries.size());
  for (const Entry* entry : entries) {
    if (entry->timer) {
      work.push_back({PendingWork::Kind::repeating, entry->due, entry->timer->interval,
                      entry->timer->tolerance});
    } else {
      work.push_back({PendingWork::Kind::once, entry->due});
    }
  }
  // Work from other threads joins the queue as due now, after what is already due.
  double current = now();
  auto at = std::find_if(work.begin(), work.end(),
                         [current](const PendingWork& w) { return w.due > current; });
  std::lock_guard lock(inboxMutex_);
  work.insert(at, inbox_.size(), PendingWork{PendingWork::Kind::fromAnotherThread, current});
  return work;
}

void QueuedLoop::drainInbox() {
  std::vector<Task> moved;
  {
    std::lock_guard lock(inboxMutex_);
    moved.swap(inbox_);
  }
  for (auto& task : moved) post(std::move(task));
}

bool QueuedLoop::nextDue(double& due) const {
  if (queue_.empty()) return false;
  due = queue_.front().due;
  return true;
}

void QueuedLoop::runNext() {
  std::pop_heap(queue_.begin(), queue_.end(), Later());
  Entry entry = std::move(queue_.back());
  queue_.pop_back();
  if (!entry.timer) {
    entry.task();
    return;
  }
  auto timer = entry.timer;
  if (!timer->valid) return;
  // Re-arm first, at the next multiple of the interval after now, so a tick that runs long
  // or a loop that was held up does not fire a burst of catch-up ticks.
  double next = entry.due + timer->interval;
  if (next <= now()) next += std::ceil((now() - next) / timer->interval + 1e-9) * timer->interval;
  schedule(next, nullptr, timer);
  Task tick = timer->tick;  // the tick may invalidate (and so release) its own timer
  tick();
}

}  // namespace velmora
