#include "platform/macos/preferences.h"

#include <CoreFoundation/CoreFoundation.h>

#include "platform/macos/cf_value.h"

namespace velmora::macos {

Value MacPreferences::value(std::string_view domain, std::string_view key) {
  CFPtr<CFStringRef> app = cfString(domain);
  CFPtr<CFStringRef> name = cfString(key);
  if (!app || !name) return Value();
  auto stored = CFPtr<CFPropertyListRef>::adopt(CFPreferencesCopyAppValue(name.get(), app.get()));
  return valueFrom(stored.get());
}

bool MacPreferences::setValue(std::string_view domain, std::string_view key, const Value& value) {
  CFPtr<CFStringRef> app = cfString(domain);
  CFPtr<CFStringRef> name = cfString(key);
  if (!app || !name) return false;
  // Null removes the key; anything else that has no property-list form is not written at all
  // rather than written as a removal.
  CFPtr<CFTypeRef> stored = cfFrom(value);
  if (!stored && !value.isNull()) return false;
  CFPreferencesSetAppValue(name.get(), stored.get(), app.get());
  return CFPreferencesAppSynchronize(app.get());
}

std::optional<Value::Dictionary> MacPreferences::persistentDomain(std::string_view domain) {
  CFPtr<CFStringRef> app = cfString(domain);
  if (!app) return std::nullopt;
  auto keys = CFPtr<CFArrayRef>::adopt(
      CFPreferencesCopyKeyList(app.get(), kCFPreferencesCurrentUser, kCFPreferencesAnyHost));
  CFArrayRef keyList = cfCast<CFArrayRef>(keys.get(), CFArrayGetTypeID());
  if (!keyList || CFArrayGetCount(keyList) == 0) return std::nullopt;
  auto values = CFPtr<CFDictionaryRef>::adopt(CFPreferencesCopyMultiple(
      keyList, app.get(), kCFPreferencesCurrentUser, kCFPreferencesAnyHost));
  Value all = valueFrom(cfCast<CFDictionaryRef>(values.get(), CFDictionaryGetTypeID()));
  if (const Value::Dictionary* dictionary = all.asDictionary()) return *dictionary;
  return std::nullopt;
}

}  // namespace velmora::macos
