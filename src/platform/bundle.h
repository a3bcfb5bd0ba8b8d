#pragma once
// The application's own bundle (Bundle.main): its information dictionary, identifier and
// location.

#include <optional>
#include <string>

#include "core/value.h"

namespace velmora::platform {

class Bundle {
 public:
  virtual ~Bundle() = default;
  // object(forInfoDictionaryKey:): the raw entry, null when absent.
  virtual Value infoDictionaryValue(const std::string& key) = 0;
  // bundleIdentifier; none when the bundle has none.
  virtual std::optional<std::string> bundleIdentifier() = 0;
  // bundleURL's file path ("/Applications/Velmora.app").
  virtual std::string bundlePath() = 0;
};

}  // namespace velmora::platform
