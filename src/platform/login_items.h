#pragma once
// The application as its own login item (SMAppService.mainApp).

#include <cstdint>
#include <optional>
#include <string>

#include "core/result.h"

namespace velmora::platform {

// SMAppService.Status raw values.
inline constexpr std::int64_t kLoginItemNotRegistered = 0;
inline constexpr std::int64_t kLoginItemEnabled = 1;
inline constexpr std::int64_t kLoginItemRequiresApproval = 2;
inline constexpr std::int64_t kLoginItemNotFound = 3;

class LoginItems {
 public:
  virtual ~LoginItems() = default;
  // SMAppService.mainApp.status, the raw value.
  virtual std::int64_t mainAppStatus() = 0;
  // registerAndReturnError: / unregisterAndReturnError:; a refusal carries the system's
  // reason (NSError.localizedDescription).
  virtual Result<void> registerMainApp() = 0;
  virtual Result<void> unregisterMainApp() = 0;
};

}  // namespace velmora::platform
