#pragma once
// Serial work queues for the little work that leaves the main thread (the Dock-badge read):
// a dispatch queue with a label on a Mac (dispatch_queue_create, dispatch_async), a worker
// thread of its own on Linux. Results come back through MainLoop::postFromAnyThread.

#include <functional>
#include <memory>
#include <string>

namespace velmora::platform {

class WorkQueue {
 public:
  // Runs what was handed in already, then lets the queue go; nothing runs after it returns.
  virtual ~WorkQueue() = default;
  virtual const std::string& label() const = 0;
  // Runs `work` after everything handed in before it, one piece at a time, off the main
  // thread.
  virtual void async(std::function<void()> work) = 0;
  // Blocks until everything handed in so far has run.
  virtual void waitUntilIdle() = 0;
};

class WorkQueues {
 public:
  virtual ~WorkQueues() = default;
  // dispatch_queue_create(label, DISPATCH_QUEUE_SERIAL).
  virtual std::unique_ptr<WorkQueue> makeSerialQueue(const std::string& label) = 0;
};

}  // namespace velmora::platform
