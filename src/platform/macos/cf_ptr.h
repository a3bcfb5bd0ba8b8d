#pragma once
// One owner for every CoreFoundation object the Mac layer holds. The Create/Copy rule decides
// how an object comes in: what a function named Create or Copy returns is already ours and is
// adopted; what a Get function (or a callback) hands us is borrowed and is retained if it is
// kept. Either way exactly one CFRelease follows, when the last holder goes.

#include <CoreFoundation/CoreFoundation.h>

#include <utility>

namespace velmora::macos {

template <class Ref>
class CFPtr {
 public:
  CFPtr() = default;
  CFPtr(std::nullptr_t) {}
  // From a Create or Copy call: takes over the reference the caller already owns.
  static CFPtr adopt(Ref ref) { return CFPtr(ref); }
  // From a Get call: adds a reference of our own.
  static CFPtr retain(Ref ref) {
    if (ref) CFRetain(ref);
    return CFPtr(ref);
  }

  CFPtr(const CFPtr& other) : ref_(other.ref_) {
    if (ref_) CFRetain(ref_);
  }
  CFPtr(CFPtr&& other) noexcept : ref_(std::exchange(other.ref_, nullptr)) {}
  CFPtr& operator=(CFPtr other) noexcept {
    std::swap(ref_, other.ref_);
    return *this;
  }
  ~CFPtr() {
    if (ref_) CFRelease(ref_);
  }

  Ref get() const { return ref_; }
  explicit operator bool() const { return ref_ != nullptr; }
  // Hands our reference to a caller that will release it (a Create-style return).
  Ref release() { return std::exchange(ref_, nullptr); }
  // For an out-parameter of a Copy-style call (`CFErrorRef* error`); drops what was held.
  Ref* out() {
    *this = nullptr;
    return &ref_;
  }

 private:
  explicit CFPtr(Ref ref) : ref_(ref) {}
  Ref ref_ = nullptr;
};

// The type-checked downcast: the object as `Ref` when its type id is `typeID`, else null.
template <class Ref>
Ref cfCast(CFTypeRef object, CFTypeID typeID) {
  return object && CFGetTypeID(object) == typeID ? static_cast<Ref>(object) : nullptr;
}

}  // namespace velmora::macos
