#pragma once
// The accessibility seam over HIServices: the grant, other applications' elements with their
// attributes and actions, and observers of their notifications on the main run loop.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/accessibility.h"

namespace velmora::macos {

// Element calls and the trust questions are safe from any thread, as the framework's are (the
// Dock-badge reader runs on a worker). Observers are made and dropped on the main thread,
// where their callbacks run.
class MacAccessibility final : public platform::Accessibility {
 public:
  bool isProcessTrusted() override;
  bool isProcessTrustedWithOptions(const Value& options) override;
  platform::AXElementRef applicationElement(std::int32_t pid) override;
  platform::AXError setMessagingTimeout(const platform::AXElementRef& element,
                                        float seconds) override;
  platform::AXAttribute copyAttributeValue(const platform::AXElementRef& element,
                                           const std::string& attribute) override;
  platform::AXAttributes copyMultipleAttributeValues(const platform::AXElementRef& element,
                                                     const std::vector<std::string>& attributes,
                                                     bool stopOnError) override;
  platform::AXError setAttributeValue(const platform::AXElementRef& element,
                                      const std::string& attribute, const Value& value) override;
  platform::AXError performAction(const platform::AXElementRef& element,
                                  const std::string& action) override;
  platform::AXObserverResult createObserver(std::int32_t pid,
                                            platform::AXObserverCallback callback) override;
};

}  // namespace velmora::macos
