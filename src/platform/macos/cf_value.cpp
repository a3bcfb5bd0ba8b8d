#include "platform/macos/cf_value.h"

#include <cstdint>
#include <vector>

namespace velmora::macos {

CFPtr<CFStringRef> cfString(std::string_view utf8) {
  return CFPtr<CFStringRef>::adopt(
      CFStringCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(utf8.data()),
                              static_cast<CFIndex>(utf8.size()), kCFStringEncodingUTF8, false));
}

std::optional<std::string> stdString(CFStringRef string) {
  if (!string) return std::nullopt;
  if (const char* fast = CFStringGetCStringPtr(string, kCFStringEncodingUTF8)) return fast;
  CFRange all = CFRangeMake(0, CFStringGetLength(string));
  CFIndex bytes = 0;
  // First the size, then the bytes; a string UTF-8 cannot hold converts nothing.
  if (CFStringGetBytes(string, all, kCFStringEncodingUTF8, 0, false, nullptr, 0, &bytes) !=
      all.length) {
    return std::nullopt;
  }
  std::string out(static_cast<std::size_t>(bytes), '\0');
  CFStringGetBytes(string, all, kCFStringEncodingUTF8, 0, false,
                   reinterpret_cast<UInt8*>(out.data()), bytes, nullptr);
  return out;
}

std::string stdStringOr(CFStringRef string) {
  return stdString(string).value_or(std::string());
}

namespace {

Value numberValue(CFNumberRef number) {
  if (CFNumberIsFloatType(number)) {
    double d = 0;
    CFNumberGetValue(number, kCFNumberDoubleType, &d);
    return Value(d);
  }
  std::int64_t i = 0;
  if (CFNumberGetValue(number, kCFNumberSInt64Type, &i)) return Value(i);
  // An unsigned 64-bit number above the signed range (a space id from the window server
  // never is, but a stray one must not wrap) stays exact as far as a double can take it.
  double d = 0;
  CFNumberGetValue(number, kCFNumberDoubleType, &d);
  return Value(d);
}

}  // namespace

Value valueFrom(CFTypeRef object) {
  if (!object) return Value();
  CFTypeID type = CFGetTypeID(object);
  if (type == CFStringGetTypeID()) {
    auto text = stdString(static_cast<CFStringRef>(object));
    return text ? Value(std::move(*text)) : Value();
  }
  if (type == CFBooleanGetTypeID())
    return Value(CFBooleanGetValue(static_cast<CFBooleanRef>(object)) != 0);
  if (type == CFNumberGetTypeID()) return numberValue(static_cast<CFNumberRef>(object));
  if (type == CFDataGetTypeID()) {
    auto data = static_cast<CFDataRef>(object);
    const UInt8* bytes = CFDataGetBytePtr(data);
    CFIndex length = CFDataGetLength(data);
    Value::Data out;
    if (bytes && length > 0) out.bytes.assign(bytes, bytes + length);
    return Value(std::move(out));
  }
  if (type == CFDateGetTypeID()) {
    return Value(Value::Date{CFDateGetAbsoluteTime(static_cast<CFDateRef>(object))});
  }
  if (type == CFURLGetTypeID()) {
    auto absolute = CFPtr<CFURLRef>::adopt(CFURLCopyAbsoluteURL(static_cast<CFURLRef>(object)));
    if (!absolute) return Value();
    auto text = stdString(CFURLGetString(absolute.get()));
    return text ? Value(std::move(*text)) : Value();
  }
  if (type == CFArrayGetTypeID()) {
    auto array = static_cast<CFArrayRef>(object);
    CFIndex count = CFArrayGetCount(array);
    Value::Array out;
    out.reserve(static_cast<std::size_t>(count));
    for (CFIndex i = 0; i < count; ++i) out.push_back(valueFrom(CFArrayGetValueAtIndex(array, i)));
    return Value(std::move(out));
  }
  if (type == CFDictionaryGetTypeID()) {
    auto dict = static_cast<CFDictionaryRef>(object);
    CFIndex count = CFDictionaryGetCount(dict);
    std::vector<const void*> keys(static_cast<std::size_t>(count));
    std::vector<const void*> values(static_cast<std::size_t>(count));
    CFDictionaryGetKeysAndValues(dict, keys.data(), values.data());
    Value::Dictionary out;
    for (CFIndex i = 0; i < count; ++i) {
      auto key = stdString(cfCast<CFStringRef>(keys[i], CFStringGetTypeID()));
      if (key) out.emplace(std::move(*key), valueFrom(values[i]));
    }
    return Value(std::move(out));
  }
  return Value();
}

CFPtr<CFTypeRef> cfFrom(const Value& value) {
  using Kind = Value::Kind;
  switch (value.kind()) {
    case Kind::Null:
      return nullptr;
    case Kind::Bool:
      return CFPtr<CFTypeRef>::retain(*value.asBool() ? kCFBooleanTrue : kCFBooleanFalse);
    case Kind::Integer: {
      std::int64_t i = *value.asInteger();
      return CFPtr<CFTypeRef>::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &i));
    }
    case Kind::Real: {
      double d = *value.asNumber();
      return CFPtr<CFTypeRef>::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &d));
    }
    case Kind::String: {
      CFPtr<CFStringRef> s = cfString(*value.asString());
      return CFPtr<CFTypeRef>::adopt(s.release());
    }
    case Kind::Data: {
      const auto& bytes = value.asData()->bytes;
      return CFPtr<CFTypeRef>::adopt(
          CFDataCreate(kCFAllocatorDefault, bytes.data(), static_cast<CFIndex>(bytes.size())));
    }
    case Kind::Date:
      return CFPtr<CFTypeRef>::adopt(
          CFDateCreate(kCFAllocatorDefault, value.asDate()->secondsSinceReferenceDate));
    case Kind::Array: {
      auto array = CFPtr<CFMutableArrayRef>::adopt(
          CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
      if (!array) return nullptr;
      for (const Value& item : *value.asArray()) {
        // A null inside a property list has no form; it is left out as CFPreferences would.
        if (CFPtr<CFTypeRef> cf = cfFrom(item)) CFArrayAppendValue(array.get(), cf.get());
      }
      return CFPtr<CFTypeRef>::adopt(array.release());
    }
    case Kind::Dictionary: {
      auto dict = CFPtr<CFMutableDictionaryRef>::adopt(
          CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                    &kCFTypeDictionaryValueCallBacks));
      if (!dict) return nullptr;
      for (const auto& [key, item] : *value.asDictionary()) {
        CFPtr<CFStringRef> k = cfString(key);
        CFPtr<CFTypeRef> v = cfFrom(item);
        if (k && v) CFDictionarySetValue(dict.get(), k.get(), v.get());
      }
      return CFPtr<CFTypeRef>::adopt(dict.release());
    }
  }
  return nullptr;
}

std::string describe(CFErrorRef error, std::string_view fallback) {
  if (!error) return std::string(fallback);
  auto text = CFPtr<CFStringRef>::adopt(CFErrorCopyDescription(error));
  auto sentence = stdString(text.get());
  return sentence && !sentence->empty() ? *sentence : std::string(fallback);
}

}  // namespace velmora::macos
