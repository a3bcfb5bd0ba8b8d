#pragma once
// A serial queue on one worker thread of its own: work runs in the order it was handed in,
// one piece at a time. The thread starts with the first piece of work.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace velmora {

class SerialQueue {
 public:
  explicit SerialQueue(std::string label) : label_(std::move(label)) {}
  // Runs what was handed in already, then ends the thread.
  ~SerialQueue();
  SerialQueue(const SerialQueue&) = delete;
  SerialQueue& operator=(const SerialQueue&) = delete;

  const std::string& label() const { return label_; }
  void async(std::function<void()> work);
  // Blocks until everything handed in so far has run.
  void waitUntilIdle();

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

}  // namespace velmora
