#pragma once
// The virtual Mac's accessibility API: Velmora's grant, the prompt that asks the user for
// it, and the element calls, answered from the applications' element trees (AXTree). Setting
// "AXFrontmost" on an application element brings that application to the front.

#include <atomic>
#include <string>
#include <vector>

#include "platform/accessibility.h"
#include "platform/sim/machine.h"
#include "platform/sim/virtual_workspace.h"

namespace velmora::sim {

class VirtualAccessibility final : public platform::Accessibility {
 public:
  VirtualAccessibility(Machine& machine, VirtualWorkspace& workspace)
      : machine_(machine), workspace_(workspace) {}

  // How often the system asked the user for the grant.
  int prompts() const { return prompts_.load(); }

  // ---- platform::Accessibility ----
  // Safe from any thread, except setAttributeValue("AXFrontmost"), which acts on the machine
  // and belongs to the main loop's thread.
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

 private:
  Machine& machine_;
  VirtualWorkspace& workspace_;
  std::atomic<int> prompts_{0};
};

}  // namespace velmora::sim
