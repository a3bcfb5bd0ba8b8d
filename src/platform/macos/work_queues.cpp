#include "platform/macos/work_queues.h"

namespace velmora::macos {

namespace {

void runWork(void* context) {
  std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(context));
  (*work)();
}

void nothing(void*) {}

}  // namespace

DispatchWorkQueue::DispatchWorkQueue(std::string label)
    : label_(std::move(label)),
      queue_(dispatch_queue_create(label_.c_str(), DISPATCH_QUEUE_SERIAL)) {}

DispatchWorkQueue::~DispatchWorkQueue() {
  waitUntilIdle();
  dispatch_release(queue_);
}

void DispatchWorkQueue::async(std::function<void()> work) {
  dispatch_async_f(queue_, new std::function<void()>(std::move(work)), runWork);
}

void DispatchWorkQueue::waitUntilIdle() {
  dispatch_sync_f(queue_, nullptr, nothing);
}

}  // namespace velmora::macos
