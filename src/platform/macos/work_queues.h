#pragma once
// Serial work queues on a Mac: a dispatch queue each, made with a label that shows in crash
// reports and in the debugger. The queue itself stays in the .cpp: Objective-C++ files see a
// dispatch queue as an object ARC manages, plain C++ files as a pointer, and a class holding
// one must look the same to both.

#include <memory>
#include <string>

#include "platform/work_queues.h"

namespace velmora::macos {

class DispatchWorkQueues final : public platform::WorkQueues {
 public:
  // dispatch_queue_create(label, DISPATCH_QUEUE_SERIAL); work goes in with dispatch_async_f,
  // waitUntilIdle is a dispatch_sync_f with nothing to do, and the queue drains the same way
  // before dispatch_release lets it go.
  std::unique_ptr<platform::WorkQueue> makeSerialQueue(const std::string& label) override;
};

}  // namespace velmora::macos
