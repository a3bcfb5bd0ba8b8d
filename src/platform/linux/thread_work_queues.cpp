#include "platform/linux/thread_work_queues.h"

namespace velmora::linuxhost {

ThreadWorkQueue::~ThreadWorkQueue() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void ThreadWorkQueue::async(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    work_.push_back(std::move(work));
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
  }
  wake_.notify_one();
}

void ThreadWorkQueue::waitUntilIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return work_.empty() && !busy_; });
}

void ThreadWorkQueue::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !work_.empty(); });
    if (work_.empty()) return;  // stopping, and nothing left
    std::function<void()> work = std::move(work_.front());
    work_.pop_front();
    busy_ = true;
    lock.unlock();
    work();
    work = nullptr;
    lock.lock();
    busy_ = false;
    if (work_.empty()) idle_.notify_all();
  }
}

}  // namespace velmora::linuxhost
