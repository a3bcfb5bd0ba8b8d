#pragma once
// Shared machinery of the virtual and real-time loops: one queue of due work ordered by
// (due time, arrival), repeating timers that re-arm themselves, and a locked inbox for
// posts from other threads.

#include <cstdint>
#include <mutex>
#include <vector>

#include "core/main_loop.h"

namespace velmora {

class QueuedLoop : public MainLoop {
 public:
  void post(Task task) override;
  void after(double delay, Task task) override;
  std::unique_ptr<RepeatingTimer> repeating(double interval, double tolerance, Task tick) override;
  void postFromAnyThread(Task task) override;

  // Number of queued one-shot tasks and armed timers (inbox included).
  std::size_t pendingCount() const;

  // One piece of work waiting to run: a one-shot task, a repeating timer's next tick, or work
  // handed over from another thread that the loop has not taken in yet (due now).
  struct PendingWork {
    enum class Kind { once, repeating, fromAnotherThread };
    Kind kind = Kind::once;
    double due = 0;  // loop time of its next run
    double interval = 0;
    double tolerance = 0;
  };
  // Everything waiting to run, earliest first (same due time: arrival order); invalidated
  // timers are left out. A copy made on request for the command line and tests, so the loop
  // itself never pays for it. Main thread only.
  std::vector<PendingWork> pendingWork() const;

 protected:
  struct TimerState;
  struct Entry {
    double due;
    std::uint64_t seq;
    Task task;
    std::shared_ptr<TimerState> timer;
  };
  struct Later {
    bool operator()(const Entry& a, const Entry& b) const {
      return a.due != b.due ? a.due > b.due : a.seq > b.seq;
    }
  };

  // Moves cross-thread posts into the queue as due now.
  void drainInbox();
  // Earliest due time, if anything is queued.
  bool nextDue(double& due) const;
  // Pops and runs the earliest entry; the caller has checked it is due.
  void runNext();
  // The caller holds inboxMutex_.
  bool inboxEmptyLocked() const { return inbox_.empty(); }
  // Called with the inbox lock held after a cross-thread post; a loop that sleeps wakes.
  virtual void onInboxPost() {}

  mutable std::mutex inboxMutex_;

 private:
  void schedule(double due, Task task, std::shared_ptr<TimerState> timer);

  // A binary heap ordered by Later (std::push_heap / pop_heap), so it can also be read through.
  std::vector<Entry> queue_;
  std::vector<Task> inbox_;
  std::uint64_t seq_ = 0;
};

}  // namespace velmora
