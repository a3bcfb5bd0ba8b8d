#pragma once
// User defaults as property-list files, one per domain, in a Preferences folder: the same
// files macOS keeps in ~/Library/Preferences. Files are read with libplist (binary or XML)
// and written atomically, so a crash never leaves half a file behind.

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/preferences.h"

namespace velmora::linuxhost {

class PlistPreferences final : public platform::Preferences {
 public:
  explicit PlistPreferences(std::filesystem::path folder);

  Value value(std::string_view domain, std::string_view key) override;
  bool setValue(std::string_view domain, std::string_view key, const Value& value) override;
  std::optional<Value::Dictionary> persistentDomain(std::string_view domain) override;

  // The file that holds a domain: <folder>/<domain>.plist.
  std::filesystem::path fileFor(std::string_view domain) const;

 private:
  std::filesystem::path folder_;
};

}  // namespace velmora::linuxhost
