#pragma once
// The one main loop every delay and timer of the system goes through. Behaviour code
// never reads a clock or sleeps on its own: tests drive a VirtualLoop by hand, interactive
// runs use a RealtimeLoop, and the Mac's main run loop stands behind the same interface.

#include <functional>
#include <memory>

namespace velmora {

using Task = std::function<void()>;

// A repeating timer. Dropping the handle invalidates it, so a timer never outlives its
// owner; the tick itself should still hold its owner weakly (see Lifetime).
class RepeatingTimer {
 public:
  virtual ~RepeatingTimer() = default;
  virtual void invalidate() = 0;
  virtual bool isValid() const = 0;
  virtual double interval() const = 0;
  virtual double tolerance() const = 0;
};

class MainLoop {
 public:
  virtual ~MainLoop() = default;

  // Monotonic seconds; only differences mean anything.
  virtual double now() const = 0;
  // Wall-clock seconds since 1970-01-01 UTC.
  virtual double wallNow() const = 0;

  // Runs the task on a later turn of the loop, after the work already due.
  virtual void post(Task task) = 0;
  // Runs the task once, `delay` seconds from now.
  virtual void after(double delay, Task task) = 0;
  // Fires `tick` every `interval` seconds until invalidated. A negative tolerance means
  // the house default, a quarter of the interval.
  virtual std::unique_ptr<RepeatingTimer> repeating(double interval, double tolerance,
                                                    Task tick) = 0;
  // The only entry that may be called from another thread: background work hands its
  // result back to the main thread through here.
  virtual void postFromAnyThread(Task task) = 0;
};

// A lifetime token for delayed work. An object that schedules work keeps a Lifetime as a
// member and wraps its callbacks with guard(); once the object (and so the token) is gone,
// queued callbacks do nothing instead of touching a dangling `this`.
class Lifetime {
 public:
  Lifetime() : token_(std::make_shared<char>(0)) {}
  Lifetime(const Lifetime&) = delete;
  Lifetime& operator=(const Lifetime&) = delete;

  template <class F>
  auto guard(F f) const {
    return [weak = std::weak_ptr<char>(token_), f = std::move(f)](auto&&... args) mutable {
      if (weak.lock()) f(std::forward<decltype(args)>(args)...);
    };
  }

  std::weak_ptr<void> weak() const { return token_; }

 private:
  std::shared_ptr<char> token_;
};

}  // namespace velmora
