#include "store/settings.h"

#include <limits>
#include <string_view>
#include <utility>

namespace velmora {

// A number reads as a boolean too, non-zero being true, as the Mac's own preference reading
// takes it: `defaults write … -int 0` leaves an integer behind.
std::optional<bool> PrefValue<bool>::read(const Value& stored) {
  if (auto b = stored.asBool()) return b;
  if (stored.isNumber()) return stored.asNumber() != 0.0;
  return std::nullopt;
}
Value PrefValue<bool>::write(bool value) {
  return Value(value);
}

std::optional<std::int64_t> PrefValue<std::int64_t>::read(const Value& stored) {
  return stored.asInteger();
}
Value PrefValue<std::int64_t>::write(std::int64_t value) {
  return Value(value);
}

std::optional<std::uint32_t> PrefValue<std::uint32_t>::read(const Value& stored) {
  auto raw = stored.asInteger();
  if (!raw) return std::nullopt;
  if (*raw < 0) return 0;
  constexpr std::int64_t kLargest = std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(*raw > kLargest ? kLargest : *raw);
}
Value PrefValue<std::uint32_t>::write(std::uint32_t value) {
  return Value(value);
}

std::optional<double> PrefValue<double>::read(const Value& stored) {
  return stored.asNumber();
}
Value PrefValue<double>::write(double value) {
  return Value(value);
}

std::optional<std::string> PrefValue<std::string>::read(const Value& stored) {
  const std::string* s = stored.asString();
  return s ? std::optional<std::string>(*s) : std::nullopt;
}
Value PrefValue<std::string>::write(const std::string& value) {
  return Value(value);
}

std::optional<std::optional<Hotkey>> PrefValue<std::optional<Hotkey>>::read(const Value& stored) {
  const Value::Data* data = stored.asData();
  if (!data) return std::nullopt;
  // Stored either way: a cleared shortcut and an unreadable one both mean "no shortcut".
  if (data->bytes.empty()) return std::optional<std::optional<Hotkey>>(std::in_place);
  std::string_view json(reinterpret_cast<const char*>(data->bytes.data()), data->bytes.size());
  return std::optional<std::optional<Hotkey>>(std::in_place, Hotkey::fromJSON(json));
}
Value PrefValue<std::optional<Hotkey>>::write(const std::optional<Hotkey>& value) {
  Value::Data data;
  if (value) {
    std::string json = value->toJSON();
    data.bytes.assign(json.begin(), json.end());
  }
  return Value(std::move(data));
}

namespace {

// Older versions kept a plain "show the icon beside the notch" switch; someone who turned
// it off keeps seeing the name only until they pick a content themselves.
NotchContent notchContentDefault(platform::Preferences& prefs) {
  auto showIcon = PrefValue<bool>::read(prefs.value(platform::kAppDomain, "notchShowIcon"));
  return showIcon.has_value() && !*showIcon ? NotchContent::nameOnly : NotchContent::iconAndName;
}

}  // namespace

Settings::Settings(platform::Preferences& prefs)
    : prefs_(prefs), _notchContent{"notchContent", notchContentDefault(prefs)} {}

bool Settings::setStoredValue(std::string_view key, const Value& value) {
  bool found = false;
  forEachPref([&](auto& pref) {
    if (found || pref.key != key) return;
    found = true;
    willChange_.emit();
    pref.cached.reset();
    prefs_.setValue(platform::kAppDomain, key, value);
  });
  return found;
}

}  // namespace velmora
