#pragma once
// Serial work queues on Linux: one worker thread per queue, started with its first piece of
// work; work runs in the order it was handed in, one piece at a time.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/work_queues.h"

namespace velmora::linuxhost {

class ThreadWorkQueue final : public platform::WorkQueue {
 public:
  explicit ThreadWorkQueue(std::string label) : label_(std::move(label)) {}
  ~ThreadWorkQueue() override;
  ThreadWorkQueue(const ThreadWorkQueue&) = delete;
  ThreadWorkQueue& operator=(const ThreadWorkQueue&) = delete;

  const std::string& label() const override { return label_; }
  void async(std::function<void()> work) override;
  void waitUntilIdle() override;

 private:
  void run();

  std::string label_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<std::function<void()>> work_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

class ThreadWorkQueues final : public platform::WorkQueues {
 public:
  std::unique_ptr<platform::WorkQueue> makeSerialQueue(const std::string& label) override {
    return std::make_unique<ThreadWorkQueue>(label);
  }
};

}  // namespace velmora::linuxhost
