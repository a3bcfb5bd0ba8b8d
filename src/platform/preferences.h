#pragma once
// The user's defaults, domain by domain (CFPreferences / NSUserDefaults). Values travel as
// Values; what a key holds is read above the seam with the forgiving rules of each caller.
// Velmora's own options live in kAppDomain; other domains (the system's symbolic hot keys,
// the predecessor's preferences) are reached the same way.

#include <optional>
#include <string>
#include <string_view>

#include "core/value.h"

namespace velmora::platform {

inline constexpr const char* kAppDomain = "app.velmora.Velmora";

class Preferences {
 public:
  virtual ~Preferences() = default;
  // The value under a key, or null when the key is absent or the domain cannot be read.
  virtual Value value(std::string_view domain, std::string_view key) = 0;
  // Stores a value (null removes the key) and writes the domain through at once. False when
  // the domain could not be written; the previous file is then left as it was.
  virtual bool setValue(std::string_view domain, std::string_view key, const Value& value) = 0;
  // The whole domain, or none when it does not exist or cannot be read.
  virtual std::optional<Value::Dictionary> persistentDomain(std::string_view domain) = 0;
};

}  // namespace velmora::platform
