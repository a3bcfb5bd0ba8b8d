#pragma once
// Launch Services: opening a URL with the handler the user has for it (NSWorkspace.open),
// and registering an application bundle (LSRegisterURL).

#include <cstdint>
#include <string>

namespace velmora::platform {

class LaunchServices {
 public:
  virtual ~LaunchServices() = default;
  // NSWorkspace.open(URL(string:)). False when the text forms no URL or nothing opened it.
  virtual bool openURL(const std::string& url) = 0;
  // LSRegisterURL for the bundle at `bundlePath`; the OSStatus, 0 on success.
  virtual std::int32_t registerURL(const std::string& bundlePath, bool update) = 0;
};

}  // namespace velmora::platform
