#pragma once
// A change signal for observable objects (the engine, settings, models of views). Like the
// notification centre it carries no payload; connections disconnect when dropped.

#include <functional>
#include <memory>
#include <vector>

namespace velmora {

class Connection {
 public:
  Connection() = default;
  explicit Connection(std::shared_ptr<bool> active) : active_(std::move(active)) {}
  Connection(Connection&&) noexcept = default;
  Connection& operator=(Connection&& other) noexcept {
    disconnect();
    active_ = std::move(other.active_);
    return *this;
  }
  ~Connection() { disconnect(); }
  void disconnect() {
    if (active_) *active_ = false;
    active_.reset();
  }

 private:
  std::shared_ptr<bool> active_;
};

class Signal {
 public:
  [[nodiscard]] Connection connect(std::function<void()> slot) {
    std::erase_if(slots_, [](const Slot& s) { return !*s.active; });
    auto active = std::make_shared<bool>(true);
    slots_.push_back(Slot{active, std::move(slot)});
    return Connection(active);
  }
  void emit() {
    auto snapshot = slots_;
    for (const auto& slot : snapshot) {
      if (*slot.active) slot.fn();
    }
  }

 private:
  struct Slot {
    std::shared_ptr<bool> active;
    std::function<void()> fn;
  };
  std::vector<Slot> slots_;
};

}  // namespace velmora
