#pragma once
// The accessibility interface (AXIsProcessTrusted, AXUIElement…, AXObserver…). Elements are
// opaque handles; attribute values travel as AXValues. Without the user's grant every element
// call answers kAXErrorAPIDisabled, as on a Mac.
//
// Threads: the trust questions, element creation, attribute reads and the messaging timeout
// may be called from any thread (the Dock-badge read runs on a worker), as the real API
// allows. Observers deliver their callbacks on the main loop only.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "core/value.h"

namespace velmora::platform {

using AXError = std::int32_t;
inline constexpr AXError kAXErrorSuccess = 0;
inline constexpr AXError kAXErrorFailure = -25200;
inline constexpr AXError kAXErrorIllegalArgument = -25201;
inline constexpr AXError kAXErrorInvalidUIElement = -25202;
inline constexpr AXError kAXErrorInvalidUIElementObserver = -25203;
inline constexpr AXError kAXErrorCannotComplete = -25204;
inline constexpr AXError kAXErrorAttributeUnsupported = -25205;
inline constexpr AXError kAXErrorActionUnsupported = -25206;
inline constexpr AXError kAXErrorNotificationUnsupported = -25207;
inline constexpr AXError kAXErrorNotImplemented = -25208;
inline constexpr AXError kAXErrorNotificationAlreadyRegistered = -25209;
inline constexpr AXError kAXErrorNotificationNotRegistered = -25210;
inline constexpr AXError kAXErrorAPIDisabled = -25211;
inline constexpr AXError kAXErrorNoValue = -25212;

// The key of kAXTrustedCheckOptionPrompt in the options of AXIsProcessTrustedWithOptions.
inline constexpr const char* kAXTrustedCheckOptionPrompt = "AXTrustedCheckOptionPrompt";

// An AXUIElementRef. What it points at is the implementation's business.
struct AXElement {
  virtual ~AXElement() = default;
};
using AXElementRef = std::shared_ptr<AXElement>;

// What an attribute holds. Plain data is a Value: strings, numbers and booleans as themselves,
// a URL (CFURL) as its absolute string ("file:///Applications/Mail.app/"), a point, size or
// rect (AXValueRef) as a dictionary with "X", "Y", "Width", "Height". Element-valued
// attributes ("AXParent", "AXChildren") hold one handle or an array of them; an entry of
// such an array that is not an element is a null handle.
class AXValue {
 public:
  AXValue() = default;
  AXValue(Value data) : v_(std::move(data)) {}
  AXValue(AXElementRef element) : v_(std::move(element)) {}
  AXValue(std::vector<AXElementRef> elements) : v_(std::move(elements)) {}

  // Plain data, or nullptr when the attribute holds elements.
  const Value* data() const { return std::get_if<Value>(&v_); }
  // The single element, or null.
  AXElementRef element() const {
    const auto* e = std::get_if<AXElementRef>(&v_);
    return e ? *e : nullptr;
  }
  // The array of elements, or nullptr when the attribute is not one.
  const std::vector<AXElementRef>* elements() const {
    return std::get_if<std::vector<AXElementRef>>(&v_);
  }

 private:
  std::variant<Value, AXElementRef, std::vector<AXElementRef>> v_;
};

// One attribute's answer: the value when `error` is kAXErrorSuccess.
struct AXAttribute {
  AXError error = kAXErrorSuccess;
  AXValue value;
  bool ok() const { return error == kAXErrorSuccess; }
};

// AXUIElementCopyMultipleAttributeValues: the call's own error and, when it succeeded, one
// answer per attribute asked for, in the same order, each with its own error.
struct AXAttributes {
  AXError error = kAXErrorSuccess;
  std::vector<AXAttribute> values;
};

// An AXObserverRef with its run-loop source on the main run loop. Dropping it removes every
// notification it registered; no callback runs after that.
class AXObserver {
 public:
  virtual ~AXObserver() = default;
  // AXObserverAddNotification.
  virtual AXError addNotification(const AXElementRef& element, const std::string& notification) = 0;
  // AXObserverRemoveNotification.
  virtual AXError removeNotification(const AXElementRef& element,
                                     const std::string& notification) = 0;
};

// Called on the main loop with the element the notification is about and its name.
using AXObserverCallback =
    std::function<void(const AXElementRef& element, const std::string& notification)>;

struct AXObserverResult {
  AXError error = kAXErrorSuccess;
  std::unique_ptr<AXObserver> observer;  // null unless error is kAXErrorSuccess
};

class Accessibility {
 public:
  virtual ~Accessibility() = default;
  // AXIsProcessTrusted.
  virtual bool isProcessTrusted() = 0;
  // AXIsProcessTrustedWithOptions. With kAXTrustedCheckOptionPrompt true in `options` the
  // system shows its own request when the process is not trusted.
  virtual bool isProcessTrustedWithOptions(const Value& options) = 0;
  // AXUIElementCreateApplication.
  virtual AXElementRef applicationElement(std::int32_t pid) = 0;
  // AXUIElementSetMessagingTimeout.
  virtual AXError setMessagingTimeout(const AXElementRef& element, float seconds) = 0;
  // AXUIElementCopyAttributeValue.
  virtual AXAttribute copyAttributeValue(const AXElementRef& element,
                                         const std::string& attribute) = 0;
  // AXUIElementCopyMultipleAttributeValues; `stopOnError` is
  // kAXCopyMultipleAttributeOptionStopOnError.
  virtual AXAttributes copyMultipleAttributeValues(const AXElementRef& element,
                                                   const std::vector<std::string>& attributes,
                                                   bool stopOnError) = 0;
  // AXUIElementSetAttributeValue.
  virtual AXError setAttributeValue(const AXElementRef& element, const std::string& attribute,
                                    const Value& value) = 0;
  // AXUIElementPerformAction. The target reacts after the call returns.
  virtual AXError performAction(const AXElementRef& element, const std::string& action) = 0;
  // AXObserverCreate for the process, its source added to the main run loop.
  virtual AXObserverResult createObserver(std::int32_t pid, AXObserverCallback callback) = 0;
};

}  // namespace velmora::platform
