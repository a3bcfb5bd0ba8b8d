#include "platform/macos/event_taps.h"

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

#include <utility>

#include "platform/macos/cf_ptr.h"

namespace velmora::macos {

// The seam's numbers are Quartz's own, so they pass through unconverted.
static_assert(platform::kSessionEventTap == kCGSessionEventTap);
static_assert(platform::kHeadInsertEventTap == kCGHeadInsertEventTap);
static_assert(platform::kEventTapOptionListenOnly == kCGEventTapOptionListenOnly);
static_assert(platform::kEventTapDisabledByTimeout == kCGEventTapDisabledByTimeout);
static_assert(platform::kEventTapDisabledByUserInput == kCGEventTapDisabledByUserInput);

namespace {

class MacEventTap final : public platform::EventTap {
 public:
  explicit MacEventTap(platform::EventTapCallback callback) : callback_(std::move(callback)) {}

  // Made in two steps because the tap needs this object's address as its user info.
  bool open(std::uint32_t location, std::uint32_t placement, std::uint32_t options,
            std::uint64_t mask) {
    port_ = CFPtr<CFMachPortRef>::adopt(CGEventTapCreate(
        static_cast<CGEventTapLocation>(location), static_cast<CGEventTapPlacement>(placement),
        static_cast<CGEventTapOptions>(options), mask, &MacEventTap::heard, this));
    if (!port_) return false;
    source_ = CFPtr<CFRunLoopSourceRef>::adopt(
        CFMachPortCreateRunLoopSource(kCFAllocatorDefault, port_.get(), 0));
    if (!source_) return false;
    CFRunLoopAddSource(CFRunLoopGetMain(), source_.get(), kCFRunLoopCommonModes);
    return true;
  }

  ~MacEventTap() override {
    if (source_) CFRunLoopRemoveSource(CFRunLoopGetMain(), source_.get(), kCFRunLoopCommonModes);
    if (port_) {
      CGEventTapEnable(port_.get(), false);
      CFMachPortInvalidate(port_.get());
    }
  }

  void enable(bool enabled) override { CGEventTapEnable(port_.get(), enabled); }
  bool isEnabled() const override { return CGEventTapIsEnabled(port_.get()); }

 private:
  // A listen-only tap hands the event back untouched; the system ignores the answer anyway.
  static CGEventRef _Nullable heard(CGEventTapProxy, CGEventType type, CGEventRef event,
                                    void* _Nullable info) {
    auto* tap = static_cast<MacEventTap*>(info);
    platform::TapEvent heard{type, {}};
    if (type != kCGEventTapDisabledByTimeout && type != kCGEventTapDisabledByUserInput) {
      CGPoint at = CGEventGetLocation(event);
      heard.location = {at.x, at.y};
    }
    if (tap && tap->callback_) tap->callback_(heard);
    return event;
  }

  platform::EventTapCallback callback_;
  CFPtr<CFMachPortRef> port_;
  CFPtr<CFRunLoopSourceRef> source_;
};

}  // namespace

std::unique_ptr<platform::EventTap> MacEventTaps::createTap(std::uint32_t location,
                                                            std::uint32_t placement,
                                                            std::uint32_t options,
                                                            std::uint64_t eventsOfInterest,
                                                            platform::EventTapCallback callback) {
  auto tap = std::make_unique<MacEventTap>(std::move(callback));
  if (!tap->open(location, placement, options, eventsOfInterest)) return nullptr;
  return tap;
}

}  // namespace velmora::macos
