#pragma once
// Launch Services on a Mac: links opened by the handler the user chose, bundles registered so
// the system knows their URL schemes.

#include "platform/launch_services.h"

namespace velmora::macos {

class MacLaunchServices final : public platform::LaunchServices {
 public:
  // NSWorkspace openURL: of [NSURL URLWithString:].
  bool openURL(const std::string& url) override;
  // LSRegisterURL of the bundle's file URL.
  std::int32_t registerURL(const std::string& bundlePath, bool update) override;
};

}  // namespace velmora::macos
