#pragma once
// The user's defaults through CFPreferences, for the current user on any host: the domains
// `defaults` reads and writes, in ~/Library/Preferences.

#include "platform/preferences.h"

namespace velmora::macos {

class MacPreferences final : public platform::Preferences {
 public:
  // CFPreferencesCopyAppValue.
  Value value(std::string_view domain, std::string_view key) override;
  // CFPreferencesSetAppValue, then CFPreferencesAppSynchronize.
  bool setValue(std::string_view domain, std::string_view key, const Value& value) override;
  // CFPreferencesCopyKeyList, then CFPreferencesCopyMultiple for those keys.
  std::optional<Value::Dictionary> persistentDomain(std::string_view domain) override;
};

}  // namespace velmora::macos
