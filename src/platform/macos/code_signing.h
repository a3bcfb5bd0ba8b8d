#pragma once
// Code signatures on disk through the Security framework's static code calls.

#include "platform/code_signing.h"

namespace velmora::macos {

class MacCodeSigning final : public platform::CodeSigning {
 public:
  // SecStaticCodeCreateWithPath over a file URL of the path.
  std::int32_t createStaticCode(const std::filesystem::path& bundle) override;
  // SecStaticCodeCreateWithPath, then SecStaticCodeCheckValidity without a requirement.
  std::int32_t checkValidity(const std::filesystem::path& bundle) override;
  // SecRequirementCreateWithString.
  std::int32_t createRequirement(const std::string& text) override;
  // SecStaticCodeCreateWithPath, SecRequirementCreateWithString, SecStaticCodeCheckValidity.
  std::int32_t checkValidity(const std::filesystem::path& bundle,
                             const std::string& requirement) override;
};

}  // namespace velmora::macos
