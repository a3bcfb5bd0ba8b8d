#pragma once
// The process's notification centre: string names, no payload, RAII observer tokens.
// Observers are told that something changed and re-read what they need.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class NotificationCenter;

// Removes its observer when dropped. Move-only.
class ObserverToken {
 public:
  ObserverToken() = default;
  ObserverToken(ObserverToken&&) noexcept = default;
  ObserverToken& operator=(ObserverToken&& other) noexcept {
    reset();
    entry_ = std::move(other.entry_);
    return *this;
  }
  ~ObserverToken() { reset(); }
  void reset();
  explicit operator bool() const { return entry_ != nullptr; }

 private:
  friend class NotificationCenter;
  struct Entry;
  explicit ObserverToken(std::shared_ptr<Entry> entry) : entry_(std::move(entry)) {}
  std::shared_ptr<Entry> entry_;
};

class NotificationCenter {
 public:
  NotificationCenter() = default;
  NotificationCenter(const NotificationCenter&) = delete;
  NotificationCenter& operator=(const NotificationCenter&) = delete;

  [[nodiscard]] ObserverToken observe(std::string name, std::function<void()> callback);
  // Calls every observer of `name` registered before the post, in registration order. An
  // observer removed by an earlier one during the same post is not called.
  void post(std::string_view name);
  // Hears every post, before its observers are called: the command line's record of what
  // was announced. Null removes it.
  void setOnPost(std::function<void(std::string_view name)> listener) {
    onPost_ = std::move(listener);
  }

 private:
  std::vector<std::shared_ptr<ObserverToken::Entry>> entries_;
  std::function<void(std::string_view name)> onPost_;
};

struct ObserverToken::Entry {
  std::string name;
  std::function<void()> callback;
  bool active = true;
};

inline void ObserverToken::reset() {
  if (entry_) entry_->active = false;
  entry_.reset();
}

}  // namespace velmora
