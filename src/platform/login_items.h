#pragma once
// The application as its own login item (SMAppService.mainApp).

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::platform {

// SMAppService.Status raw values.
inline constexpr std::int64_t kLoginItemNotRegistered = 0;
inline constexpr std::int64_t kLoginItemEnabled = 1;
inline constexpr std::int64_t kLoginItemRequiresApproval = 2;
inline constexpr std::int64_t kLoginItemNotFound = 3;

// Why the system turned a change down (NSError.localizedDescription).
struct LoginItemError {
  std::string description;
  bool operator==(const LoginItemError&) const = default;
};

class LoginItems {
 public:
  virtual ~LoginItems() = default;
  // SMAppService.mainApp.status, the raw value.
  virtual std::int64_t mainAppStatus() = 0;
  // registerAndReturnError: / unregisterAndReturnError:; none when the system agreed.
  virtual std::optional<LoginItemError> registerMainApp() = 0;
  virtual std::optional<LoginItemError> unregisterMainApp() = 0;
};

}  // namespace velmora::platform
