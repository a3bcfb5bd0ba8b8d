#pragma once
// Velmora as its own login item, through SMAppService (macOS 13 and later).

#include "platform/login_items.h"

namespace velmora::macos {

class MacLoginItems final : public platform::LoginItems {
 public:
  // SMAppService mainAppService.status.
  std::int64_t mainAppStatus() override;
  // registerAndReturnError: / unregisterAndReturnError:.
  Result<void> registerMainApp() override;
  Result<void> unregisterMainApp() override;
};

}  // namespace velmora::macos
