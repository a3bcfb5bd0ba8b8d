#pragma once
// Quartz event taps on a Mac: CGEventTapCreate, its source on the main run loop.

#include "platform/event_taps.h"

namespace velmora::macos {

class MacEventTaps final : public platform::EventTaps {
 public:
  std::unique_ptr<platform::EventTap> createTap(std::uint32_t location, std::uint32_t placement,
                                                std::uint32_t options,
                                                std::uint64_t eventsOfInterest,
                                                platform::EventTapCallback callback) override;
};

}  // namespace velmora::macos
