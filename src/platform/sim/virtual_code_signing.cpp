#include "platform/sim/virtual_code_signing.h"

#include <optional>
#include <system_error>

#include "platform/sim/signed_images.h"

namespace velmora::sim {

namespace {

// The team a requirement names, when it reads as Apple's anchor and a team identifier.
std::optional<std::string> requiredTeam(const std::string& text) {
  constexpr std::string_view kTeam = "certificate leaf[subject.OU] = \"";
  if (!text.starts_with("anchor apple generic")) return std::nullopt;
  auto at = text.rfind(kTeam);
  if (at == std::string::npos || text.size() < at + kTeam.size() + 1 || text.back() != '"')
    return std::nullopt;
  std::string team = text.substr(at + kTeam.size(), text.size() - at - kTeam.size() - 1);
  if (team.empty() || team.find('"') != std::string::npos) return std::nullopt;
  return team;
}

}  // namespace

std::int32_t VirtualCodeSigning::createStaticCode(const std::filesystem::path& bundle) {
  machine_.countCall("SecStaticCodeCreateWithPath");
  std::error_code error;
  return std::filesystem::is_directory(bundle, error) ? 0 : platform::kErrSecCSStaticCodeNotFound;
}

std::int32_t VirtualCodeSigning::checkValidity(const std::filesystem::path& bundle) {
  machine_.countCall("SecStaticCodeCheckValidity");
  return verifyBundle(bundle);
}

std::int32_t VirtualCodeSigning::createRequirement(const std::string& text) {
  machine_.countCall("SecRequirementCreateWithString");
  return requiredTeam(text) ? 0 : platform::kErrSecCSReqInvalid;
}

std::int32_t VirtualCodeSigning::checkValidity(const std::filesystem::path& bundle,
                                               const std::string& requirement) {
  machine_.countCall("SecStaticCodeCheckValidity");
  auto team = requiredTeam(requirement);
  if (!team) return platform::kErrSecCSReqInvalid;
  return verifyBundle(bundle, team);
}

}  // namespace velmora::sim
