#include "platform/sim/virtual_accessibility.h"

#include <memory>
#include <utility>

namespace velmora::sim {

bool VirtualAccessibility::isProcessTrusted() {
  machine_.countCall("AXIsProcessTrusted");
  return machine_.ax().trusted();
}

bool VirtualAccessibility::isProcessTrustedWithOptions(const Value& options) {
  machine_.countCall("AXIsProcessTrustedWithOptions");
  bool trusted = machine_.ax().trusted();
  const Value* prompt = options.find(platform::kAXTrustedCheckOptionPrompt);
  if (!trusted && prompt && prompt->asBool() == true) ++prompts_;
  return trusted;
}

platform::AXElementRef VirtualAccessibility::applicationElement(std::int32_t pid) {
  return std::make_shared<SimAXElement>(pid, nullptr);
}

platform::AXError VirtualAccessibility::setMessagingTimeout(const platform::AXElementRef& element,
                                                            float seconds) {
  machine_.countCall("AXUIElementSetMessagingTimeout");
  return machine_.ax().setMessagingTimeout(element, seconds);
}

platform::AXAttribute VirtualAccessibility::copyAttributeValue(
    const platform::AXElementRef& element, const std::string& attribute) {
  machine_.countCall("AXUIElementCopyAttributeValue");
  return machine_.ax().copyAttributeValue(element, attribute);
}

platform::AXAttributes VirtualAccessibility::copyMultipleAttributeValues(
    const platform::AXElementRef& element, const std::vector<std::string>& attributes,
    bool stopOnError) {
  machine_.countCall("AXUIElementCopyMultipleAttributeValues");
  return machine_.ax().copyMultipleAttributeValues(element, attributes, stopOnError);
}

platform::AXError VirtualAccessibility::setAttributeValue(const platform::AXElementRef& element,
                                                          const std::string& attribute,
                                                          const Value& value) {
  machine_.countCall("AXUIElementSetAttributeValue");
  AXTree& ax = machine_.ax();
  if (!ax.trusted()) return platform::kAXErrorAPIDisabled;
  const auto* handle = dynamic_cast<const SimAXElement*>(element.get());
  if (!handle) return platform::kAXErrorIllegalArgument;
  if (handle->node || attribute != "AXFrontmost") {
    return ax.setAttributeValue(element, attribute, value);
  }
  // The application element itself: the process brings itself forward, if it answers.
  if (auto failure = ax.callFailure(handle->pid)) return *failure;
  if (!machine_.isRunning(handle->pid)) return platform::kAXErrorInvalidUIElement;
  auto frontmost = value.asBool();
  if (!frontmost) return platform::kAXErrorIllegalArgument;
  if (*frontmost) workspace_.bringToFront(handle->pid, false);
  return platform::kAXErrorSuccess;
}

platform::AXError VirtualAccessibility::performAction(const platform::AXElementRef& element,
                                                      const std::string& action) {
  machine_.countCall("AXUIElementPerformAction");
  return machine_.ax().performAction(element, action);
}

platform::AXObserverResult VirtualAccessibility::createObserver(
    std::int32_t pid, platform::AXObserverCallback callback) {
  machine_.countCall("AXObserverCreate");
  return machine_.ax().createObserver(pid, std::move(callback));
}

}  // namespace velmora::sim
