#include "platform/macos/work_queues.h"

#include <dispatch/dispatch.h>

namespace velmora::macos {

namespace {

void runWork(void* context) {
  std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(context));
  (*work)();
}

void nothing(void*) {}

class DispatchWorkQueue final : public platform::WorkQueue {
 public:
  explicit DispatchWorkQueue(std::string label)
      : label_(std::move(label)),
        queue_(dispatch_queue_create(label_.c_str(), DISPATCH_QUEUE_SERIAL)) {}
  ~DispatchWorkQueue() override {
    waitUntilIdle();
    dispatch_release(queue_);
  }
  DispatchWorkQueue(const DispatchWorkQueue&) = delete;
  DispatchWorkQueue& operator=(const DispatchWorkQueue&) = delete;

  const std::string& label() const override { return label_; }
  void async(std::function<void()> work) override {
    dispatch_async_f(queue_, new std::function<void()>(std::move(work)), runWork);
  }
  // Returns once everything handed in before it has run.
  void waitUntilIdle() override { dispatch_sync_f(queue_, nullptr, nothing); }

 private:
  std::string label_;
  dispatch_queue_t queue_;
};

}  // namespace

std::unique_ptr<platform::WorkQueue> DispatchWorkQueues::makeSerialQueue(const std::string& label) {
  return std::make_unique<DispatchWorkQueue>(label);
}

}  // namespace velmora::macos
