#pragma once
// The virtual Mac's Security framework for code on disk: it checks the signature a bundle
// carries (see signed_images.h) and reads the one kind of requirement Velmora states, Apple's
// anchor and a team identifier.

#include "platform/code_signing.h"
#include "platform/sim/machine.h"

namespace velmora::sim {

class VirtualCodeSigning final : public platform::CodeSigning {
 public:
  explicit VirtualCodeSigning(Machine& machine) : machine_(machine) {}

  std::int32_t createStaticCode(const std::filesystem::path& bundle) override;
  std::int32_t checkValidity(const std::filesystem::path& bundle) override;
  std::int32_t createRequirement(const std::string& text) override;
  std::int32_t checkValidity(const std::filesystem::path& bundle,
                             const std::string& requirement) override;

 private:
  Machine& machine_;
};

}  // namespace velmora::sim
