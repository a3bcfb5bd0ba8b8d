#pragma once
// Failures are values. A call that can fail for a reason the user should hear answers a
// Result: what it produced, or one sentence saying why it could not. Seams that mirror a
// platform call keep the platform's own status codes; everything above them speaks Result.

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace velmora {

// Why a call failed: one full sentence, ready to show or log.
struct Failure {
  std::string sentence;
  bool operator==(const Failure&) const = default;
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & {
    assert(ok());
    return std::get<0>(state_);
  }
  const T& value() const& {
    assert(ok());
    return std::get<0>(state_);
  }
  T&& value() && {
    assert(ok());
    return std::get<0>(std::move(state_));
  }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T valueOr(T fallback) const& { return ok() ? std::get<0>(state_) : std::move(fallback); }

  // The sentence; empty when the call succeeded.
  const std::string& error() const {
    static const std::string none;
    return ok() ? none : std::get<1>(state_).sentence;
  }

 private:
  std::variant<T, Failure> state_;
};

// A call that produces nothing but may fail: `return {};` succeeds.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failure_(std::move(failure)), failed_(true) {}

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const std::string& error() const { return failure_.sentence; }

 private:
  Failure failure_;
  bool failed_ = false;
};

}  // namespace velmora
