#pragma once
// The running application's own bundle (NSBundle mainBundle).

#include "platform/bundle.h"

namespace velmora::macos {

class MacBundle final : public platform::Bundle {
 public:
  // objectForInfoDictionaryKey:.
  Value infoDictionaryValue(const std::string& key) override;
  // bundleIdentifier.
  std::optional<std::string> bundleIdentifier() override;
  // bundleURL.path.
  std::string bundlePath() override;
};

}  // namespace velmora::macos
