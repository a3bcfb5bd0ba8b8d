#pragma once
// The accessibility interface (AXIsProcessTrusted, AXUIElement…). Elements are opaque
// handles; attribute values travel as Values. Without the user's grant every call answers
// kAXErrorAPIDisabled, as on a Mac.

#include <cstdint>
#include <memory>
#include <string>

#include "core/value.h"

namespace velmora::platform {

using AXError = std::int32_t;
inline constexpr AXError kAXErrorSuccess = 0;
inline constexpr AXError kAXErrorFailure = -25200;
inline constexpr AXError kAXErrorIllegalArgument = -25201;
inline constexpr AXError kAXErrorInvalidUIElement = -25202;
inline constexpr AXError kAXErrorCannotComplete = -25204;
inline constexpr AXError kAXErrorAttributeUnsupported = -25205;
inline constexpr AXError kAXErrorAPIDisabled = -25211;

// An AXUIElementRef. What it points at is the implementation's business.
struct AXElement {
  virtual ~AXElement() = default;
};
using AXElementRef = std::shared_ptr<AXElement>;

class Accessibility {
 public:
  virtual ~Accessibility() = default;
  // AXIsProcessTrusted.
  virtual bool isProcessTrusted() = 0;
  // AXUIElementCreateApplication.
  virtual AXElementRef applicationElement(std::int32_t pid) = 0;
  // AXUIElementSetMessagingTimeout.
  virtual AXError setMessagingTimeout(const AXElementRef& element, float seconds) = 0;
  // AXUIElementSetAttributeValue.
  virtual AXError setAttributeValue(const AXElementRef& element, const std::string& attribute,
                                    const Value& value) = 0;
};

}  // namespace velmora::platform
