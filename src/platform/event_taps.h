#pragma once
// Quartz event taps (CGEventTapCreate). Velmora's one tap is listen-only: it sees the left
// mouse button go down and up on its way to whatever is under the pointer and passes the
// event on unchanged, so the pills over Mission Control can step aside for a click.
#include <cstdint>
#include <functional>
#include <memory>

#include "core/geometry.h"

namespace velmora::platform {

// CGEventTapLocation, CGEventTapPlacement and CGEventTapOptions.
inline constexpr std::uint32_t kSessionEventTap = 1;
inline constexpr std::uint32_t kHeadInsertEventTap = 0;
inline constexpr std::uint32_t kEventTapOptionListenOnly = 1;

// The pseudo event types a tap hears when the system turned it off.
inline constexpr std::uint32_t kEventTapDisabledByTimeout = 0xFFFFFFFE;
inline constexpr std::uint32_t kEventTapDisabledByUserInput = 0xFFFFFFFF;

// CGEventMaskBit.
constexpr std::uint64_t eventMaskBit(std::uint32_t type) {
  return std::uint64_t{1} << type;
}

// One event as the tap hears it: CGEventGetType and CGEventGetLocation (global display
// coordinates, origin at the top left of the main display, y down).
struct TapEvent {
  std::uint32_t type = 0;
  AXPoint location;
};

// Called on the main loop for each event of interest, before the event goes on.
using EventTapCallback = std::function<void(const TapEvent& event)>;

// A tap whose run-loop source is on the main run loop in the common modes. Dropping it
// invalidates the tap and removes the source; no callback runs after that.
class EventTap {
 public:
  virtual ~EventTap() = default;
  // CGEventTapEnable.
  virtual void enable(bool enabled) = 0;
  // CGEventTapIsEnabled.
  virtual bool isEnabled() const = 0;
};

class EventTaps {
 public:
  virtual ~EventTaps() = default;
  // CGEventTapCreate with `location`, `placement`, `options` and the mask of event types,
  // its source added to the main run loop; null when the system refuses the tap.
  virtual std::unique_ptr<EventTap> createTap(std::uint32_t location, std::uint32_t placement,
                                              std::uint32_t options, std::uint64_t eventsOfInterest,
                                              EventTapCallback callback) = 0;
};

}  // namespace velmora::platform
