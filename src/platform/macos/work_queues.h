#pragma once
// Serial work queues on a Mac: a dispatch queue each, made with a label that shows in crash
// reports and in the debugger.

#include <dispatch/dispatch.h>

#include <memory>
#include <string>

#include "platform/work_queues.h"

namespace velmora::macos {

class DispatchWorkQueue final : public platform::WorkQueue {
 public:
  // dispatch_queue_create(label, DISPATCH_QUEUE_SERIAL).
  explicit DispatchWorkQueue(std::string label);
  // Waits for the work handed in already (dispatch_sync_f), then dispatch_release.
  ~DispatchWorkQueue() override;
  DispatchWorkQueue(const DispatchWorkQueue&) = delete;
  DispatchWorkQueue& operator=(const DispatchWorkQueue&) = delete;

  const std::string& label() const override { return label_; }
  // dispatch_async_f.
  void async(std::function<void()> work) override;
  // dispatch_sync_f with nothing to do: it returns once everything before it has run.
  void waitUntilIdle() override;

 private:
  std::string label_;
  dispatch_queue_t queue_;
};

class DispatchWorkQueues final : public platform::WorkQueues {
 public:
  std::unique_ptr<platform::WorkQueue> makeSerialQueue(const std::string& label) override {
    return std::make_unique<DispatchWorkQueue>(label);
  }
};

}  // namespace velmora::macos
