#pragma once
// The user's input clocks on a Mac, from the Quartz event sources.

#include "platform/input_clocks.h"

namespace velmora::macos {

class MacInputClocks final : public platform::InputClocks {
 public:
  double secondsSinceLastEventType(std::int32_t stateID, std::uint32_t eventType) override;
};

}  // namespace velmora::macos
