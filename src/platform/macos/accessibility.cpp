#include "platform/macos/accessibility.h"

#include <ApplicationServices/ApplicationServices.h>

#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/macos/cf_ptr.h"
#include "platform/macos/cf_value.h"

namespace velmora::macos {

// The seam passes the framework's status numbers through unchanged; these are the ones the
// rest of Velmora names.
static_assert(platform::kAXErrorSuccess == kAXErrorSuccess);
static_assert(platform::kAXErrorFailure == kAXErrorFailure);
static_assert(platform::kAXErrorIllegalArgument == kAXErrorIllegalArgument);
static_assert(platform::kAXErrorInvalidUIElement == kAXErrorInvalidUIElement);
static_assert(platform::kAXErrorCannotComplete == kAXErrorCannotComplete);
static_assert(platform::kAXErrorAPIDisabled == kAXErrorAPIDisabled);
static_assert(platform::kAXErrorNoValue == kAXErrorNoValue);

namespace {

// The handle the seam hands out: one reference to the AXUIElementRef.
struct MacAXElement final : platform::AXElement {
  explicit MacAXElement(CFPtr<AXUIElementRef> element) : ref(std::move(element)) {}
  CFPtr<AXUIElementRef> ref;
};

// A handle of our own on an element we were lent (an entry of an answer, a callback's element).
platform::AXElementRef handleFor(AXUIElementRef borrowed) {
  if (!borrowed) return nullptr;
  return std::make_shared<MacAXElement>(CFPtr<AXUIElementRef>::retain(borrowed));
}

// The element behind a handle; null for a null handle or one this layer did not make.
AXUIElementRef elementOf(const platform::AXElementRef& handle) {
  const auto* mac = dynamic_cast<const MacAXElement*>(handle.get());
  return mac ? mac->ref.get() : nullptr;
}

// A wrapped point, size, rectangle or range as the seam's dictionary; null for anything else.
Value structureValue(AXValueRef value) {
  switch (AXValueGetType(value)) {
    case kAXValueTypeCGPoint: {
      CGPoint p{};
      if (!AXValueGetValue(value, kAXValueTypeCGPoint, &p)) break;
      return Value::dictionary({{"X", p.x}, {"Y", p.y}});
    }
    case kAXValueTypeCGSize: {
      CGSize s{};
      if (!AXValueGetValue(value, kAXValueTypeCGSize, &s)) break;
      return Value::dictionary({{"Width", s.width}, {"Height", s.height}});
    }
    case kAXValueTypeCGRect: {
      CGRect r{};
      if (!AXValueGetValue(value, kAXValueTypeCGRect, &r)) break;
      return Value::dictionary({{"X", r.origin.x},
                                {"Y", r.origin.y},
                                {"Width", r.size.width},
                                {"Height", r.size.height}});
    }
    case kAXValueTypeCFRange: {
      CFRange r{};
      if (!AXValueGetValue(value, kAXValueTypeCFRange, &r)) break;
      return Value::dictionary({{"Location", r.location}, {"Length", r.length}});
    }
    default:
      break;
  }
  return Value();
}

// An attribute's value in the seam's terms: elements as handles, wrapped structures as
// dictionaries, everything else as property-list data.
platform::AXValue attributeValue(CFTypeRef object) {
  if (!object) return {};
  CFTypeID type = CFGetTypeID(object);
  if (type == AXUIElementGetTypeID()) {
    return platform::AXValue(handleFor(static_cast<AXUIElementRef>(object)));
  }
  if (type == AXValueGetTypeID()) {
    return platform::AXValue(structureValue(static_cast<AXValueRef>(object)));
  }
  if (type == CFArrayGetTypeID()) {
    auto array = static_cast<CFArrayRef>(object);
    CFIndex count = CFArrayGetCount(array);
    auto elementAt = [&](CFIndex i) {
      return cfCast<AXUIElementRef>(CFArrayGetValueAtIndex(array, i), AXUIElementGetTypeID());
    };
    // An array holding any element is an element list ("AXChildren", "AXWindows"), and so is
    // an empty one: element lists are what callers read arrays for, and a list whose elements
    // all went away is still a list, not missing data.
    bool elements = count == 0;
    for (CFIndex i = 0; i < count && !elements; ++i) elements = elementAt(i) != nullptr;
    if (elements) {
      std::vector<platform::AXElementRef> handles;
      handles.reserve(static_cast<std::size_t>(count));
      for (CFIndex i = 0; i < count; ++i) handles.push_back(handleFor(elementAt(i)));
      return platform::AXValue(std::move(handles));
    }
  }
  return platform::AXValue(valueFrom(object));
}

// One entry of a multiple-attribute answer. An AXValueRef of the error type stands where an
// attribute could not be read, and a CFNull (or nothing) for an attribute without a value.
platform::AXAttribute attributeAnswer(CFTypeRef entry) {
  if (auto wrapped = cfCast<AXValueRef>(entry, AXValueGetTypeID());
      wrapped && AXValueGetType(wrapped) == kAXValueTypeAXError) {
    AXError error = kAXErrorFailure;
    if (!AXValueGetValue(wrapped, kAXValueTypeAXError, &error)) error = kAXErrorFailure;
    return {error, {}};
  }
  if (!entry || CFGetTypeID(entry) == CFNullGetTypeID()) return {kAXErrorNoValue, {}};
  return {platform::kAXErrorSuccess, attributeValue(entry)};
}

// A structure the seam spells as a dictionary with exactly these keys, wrapped for the
// framework: X and Y a point, Width and Height a size, all four a rectangle, Location and
// Length a range. Null for any other dictionary.
CFPtr<AXValueRef> structureFrom(const Value::Dictionary& entries) {
  auto entry = [&](std::string_view key) -> const Value* {
    auto it = entries.find(key);
    return it == entries.end() ? nullptr : &it->second;
  };
  auto number = [&](std::string_view key) -> std::optional<double> {
    const Value* v = entry(key);
    return v ? v->asNumber() : std::nullopt;
  };
  auto x = number("X"), y = number("Y"), width = number("Width"), height = number("Height");
  if (entries.size() == 4 && x && y && width && height) {
    CGRect rect = CGRectMake(*x, *y, *width, *height);
    return CFPtr<AXValueRef>::adopt(AXValueCreate(kAXValueTypeCGRect, &rect));
  }
  if (entries.size() != 2) return nullptr;
  if (x && y) {
    CGPoint point = CGPointMake(*x, *y);
    return CFPtr<AXValueRef>::adopt(AXValueCreate(kAXValueTypeCGPoint, &point));
  }
  if (width && height) {
    CGSize size = CGSizeMake(*width, *height);
    return CFPtr<AXValueRef>::adopt(AXValueCreate(kAXValueTypeCGSize, &size));
  }
  const Value* location = entry("Location");
  const Value* length = entry("Length");
  if (location && length && location->asInteger() && length->asInteger()) {
    CFRange range = CFRangeMake(static_cast<CFIndex>(*location->asInteger()),
                                static_cast<CFIndex>(*length->asInteger()));
    return CFPtr<AXValueRef>::adopt(AXValueCreate(kAXValueTypeCFRange, &range));
  }
  return nullptr;
}

// An AXObserverRef whose source is on the main run loop. Each registration carries this
// object as its refcon, which leads the framework's callback back to the C++ callback.
class MacAXObserver final : public platform::AXObserver {
 public:
  MacAXObserver(CFPtr<AXObserverRef> observer, platform::AXObserverCallback callback)
      : observer_(std::move(observer)), callback_(std::move(callback)) {
    // Common modes, so notifications still arrive while a menu is open.
    CFRunLoopAddSource(CFRunLoopGetMain(), AXObserverGetRunLoopSource(observer_.get()),
                       kCFRunLoopCommonModes);
  }
  MacAXObserver(const MacAXObserver&) = delete;
  MacAXObserver& operator=(const MacAXObserver&) = delete;

  ~MacAXObserver() override {
    for (const Registration& r : registered_) {
      AXObserverRemoveNotification(observer_.get(), r.element.get(), r.notification.get());
    }
    // On the main thread this source cannot fire again, so no callback reaches a dead object.
    CFRunLoopRemoveSource(CFRunLoopGetMain(), AXObserverGetRunLoopSource(observer_.get()),
                          kCFRunLoopCommonModes);
  }

  platform::AXError addNotification(const platform::AXElementRef& element,
                                    const std::string& notification) override {
    AXUIElementRef target = elementOf(element);
    CFPtr<CFStringRef> name = cfString(notification);
    if (!target || !name) return kAXErrorIllegalArgument;
    AXError error = AXObserverAddNotification(observer_.get(), target, name.get(), this);
    if (error == kAXErrorSuccess) {
      registered_.push_back({CFPtr<AXUIElementRef>::retain(target), std::move(name)});
    }
    return error;
  }

  platform::AXError removeNotification(const platform::AXElementRef& element,
                                       const std::string& notification) override {
    AXUIElementRef target = elementOf(element);
    CFPtr<CFStringRef> name = cfString(notification);
    if (!target || !name) return kAXErrorIllegalArgument;
    AXError error = AXObserverRemoveNotification(observer_.get(), target, name.get());
    if (error == kAXErrorSuccess) {
      std::erase_if(registered_, [&](const Registration& r) {
        return CFEqual(r.element.get(), target) && CFEqual(r.notification.get(), name.get());
      });
    }
    return error;
  }

  static void heard(AXObserverRef observer, AXUIElementRef element, CFStringRef notification,
                    void* refcon) {
    if (!refcon) return;
    // The callback may drop this observer: it runs from a copy, and the AXObserverRef stays
    // alive until the framework's callout has returned.
    auto keepObserver = CFPtr<AXObserverRef>::retain(observer);
    platform::AXObserverCallback callback = static_cast<MacAXObserver*>(refcon)->callback_;
    callback(handleFor(element), stdStringOr(notification));
  }

 private:
  struct Registration {
    CFPtr<AXUIElementRef> element;
    CFPtr<CFStringRef> notification;
  };

  CFPtr<AXObserverRef> observer_;
  platform::AXObserverCallback callback_;
  std::vector<Registration> registered_;
};

}  // namespace

bool MacAccessibility::isProcessTrusted() {
  return AXIsProcessTrusted();
}

bool MacAccessibility::isProcessTrustedWithOptions(const Value& options) {
  const Value::Dictionary* entries = options.asDictionary();
  if (!entries) return AXIsProcessTrustedWithOptions(nullptr);
  auto dictionary = CFPtr<CFMutableDictionaryRef>::adopt(CFDictionaryCreateMutable(
      kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
  if (!dictionary) return AXIsProcessTrusted();
  for (const auto& [key, item] : *entries) {
    // The prompt key goes in as the framework's own constant.
    CFPtr<CFStringRef> cfKey = key == platform::kAXTrustedCheckOptionPrompt
                                   ? CFPtr<CFStringRef>::retain(kAXTrustedCheckOptionPrompt)
                                   : cfString(key);
    CFPtr<CFTypeRef> cfItem = cfFrom(item);
    if (cfKey && cfItem) CFDictionarySetValue(dictionary.get(), cfKey.get(), cfItem.get());
  }
  return AXIsProcessTrustedWithOptions(dictionary.get());
}

platform::AXElementRef MacAccessibility::applicationElement(std::int32_t pid) {
  auto element = CFPtr<AXUIElementRef>::adopt(AXUIElementCreateApplication(pid));
  if (!element) return nullptr;
  return std::make_shared<MacAXElement>(std::move(element));
}

platform::AXError MacAccessibility::setMessagingTimeout(const platform::AXElementRef& element,
                                                        float seconds) {
  AXUIElementRef target = elementOf(element);
  if (!target) return kAXErrorIllegalArgument;
  return AXUIElementSetMessagingTimeout(target, seconds);
}

platform::AXAttribute MacAccessibility::copyAttributeValue(const platform::AXElementRef& element,
                                                           const std::string& attribute) {
  AXUIElementRef target = elementOf(element);
  CFPtr<CFStringRef> name = cfString(attribute);
  if (!target || !name) return {kAXErrorIllegalArgument, {}};
  CFTypeRef copied = nullptr;
  AXError error = AXUIElementCopyAttributeValue(target, name.get(), &copied);
  auto value = CFPtr<CFTypeRef>::adopt(copied);
  if (error != kAXErrorSuccess) return {error, {}};
  return {platform::kAXErrorSuccess, attributeValue(value.get())};
}

platform::AXAttributes MacAccessibility::copyMultipleAttributeValues(
    const platform::AXElementRef& element, const std::vector<std::string>& attributes,
    bool stopOnError) {
  AXUIElementRef target = elementOf(element);
  auto names = CFPtr<CFMutableArrayRef>::adopt(
      CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
  if (!target || !names) return {kAXErrorIllegalArgument, {}};
  for (const std::string& attribute : attributes) {
    CFPtr<CFStringRef> name = cfString(attribute);
    if (!name) return {kAXErrorIllegalArgument, {}};
    CFArrayAppendValue(names.get(), name.get());
  }
  AXCopyMultipleAttributeOptions options = 0;
  if (stopOnError) options = kAXCopyMultipleAttributeOptionStopOnError;
  CFArrayRef copied = nullptr;
  AXError error = AXUIElementCopyMultipleAttributeValues(target, names.get(), options, &copied);
  auto values = CFPtr<CFArrayRef>::adopt(copied);
  if (error != kAXErrorSuccess) return {error, {}};
  CFArrayRef array = cfCast<CFArrayRef>(values.get(), CFArrayGetTypeID());
  if (!array) return {kAXErrorFailure, {}};

  platform::AXAttributes answer;
  CFIndex count = CFArrayGetCount(array);
  for (CFIndex i = 0; i < count; ++i) {
    platform::AXAttribute one = attributeAnswer(CFArrayGetValueAtIndex(array, i));
    // Stopping at an error makes that error the call's answer, whichever way the framework
    // reports it.
    if (stopOnError && !one.ok()) return {one.error, {}};
    answer.values.push_back(std::move(one));
  }
  // Anything but one answer per attribute cannot be matched to the attributes asked for.
  if (answer.values.size() != attributes.size()) return {kAXErrorFailure, {}};
  return answer;
}

platform::AXError MacAccessibility::setAttributeValue(const platform::AXElementRef& element,
                                                      const std::string& attribute,
                                                      const Value& value) {
  AXUIElementRef target = elementOf(element);
  CFPtr<CFStringRef> name = cfString(attribute);
  if (!target || !name) return kAXErrorIllegalArgument;
  CFPtr<CFTypeRef> object;
  if (const Value::Dictionary* entries = value.asDictionary()) {
    if (CFPtr<AXValueRef> structure = structureFrom(*entries)) {
      object = CFPtr<CFTypeRef>::adopt(structure.release());
    }
  }
  if (!object) object = cfFrom(value);
  if (!object) return kAXErrorIllegalArgument;
  return AXUIElementSetAttributeValue(target, name.get(), object.get());
}

platform::AXError MacAccessibility::performAction(const platform::AXElementRef& element,
                                                  const std::string& action) {
  AXUIElementRef target = elementOf(element);
  CFPtr<CFStringRef> name = cfString(action);
  if (!target || !name) return kAXErrorIllegalArgument;
  return AXUIElementPerformAction(target, name.get());
}

platform::AXObserverResult MacAccessibility::createObserver(std::int32_t pid,
                                                            platform::AXObserverCallback callback) {
  if (!callback) return {kAXErrorIllegalArgument, nullptr};
  AXObserverRef created = nullptr;
  AXError error = AXObserverCreate(pid, &MacAXObserver::heard, &created);
  auto observer = CFPtr<AXObserverRef>::adopt(created);
  if (error != kAXErrorSuccess) return {error, nullptr};
  if (!observer) return {kAXErrorFailure, nullptr};
  return {platform::kAXErrorSuccess,
          std::make_unique<MacAXObserver>(std::move(observer), std::move(callback))};
}

}  // namespace velmora::macos
