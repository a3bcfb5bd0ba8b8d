#pragma once
// Checks of an application's code signature on disk (the Security framework's static code
// calls). Each method is one call and answers its OSStatus: 0 (errSecSuccess) or the
// framework's error, which the updater turns into a sentence.

#include <cstdint>
#include <filesystem>
#include <string>

namespace velmora::platform {

// Statuses the updater tells apart; every other non-zero status is simply a failure.
inline constexpr std::int32_t kErrSecCSUnsigned = -67062;
inline constexpr std::int32_t kErrSecCSSignatureFailed = -67061;
inline constexpr std::int32_t kErrSecCSReqFailed = -67050;
inline constexpr std::int32_t kErrSecCSReqInvalid = -67052;
inline constexpr std::int32_t kErrSecCSStaticCodeNotFound = -67068;

class CodeSigning {
 public:
  virtual ~CodeSigning() = default;
  // SecStaticCodeCreateWithPath(url, kSecCSDefaultFlags, &code).
  virtual std::int32_t createStaticCode(const std::filesystem::path& bundle) = 0;
  // SecStaticCodeCheckValidity(code, kSecCSDefaultFlags, NULL): the signature itself.
  virtual std::int32_t checkValidity(const std::filesystem::path& bundle) = 0;
  // SecRequirementCreateWithString(text, kSecCSDefaultFlags, &requirement).
  virtual std::int32_t createRequirement(const std::string& text) = 0;
  // SecStaticCodeCheckValidity(code, kSecCSDefaultFlags, requirement).
  virtual std::int32_t checkValidity(const std::filesystem::path& bundle,
                                     const std::string& requirement) = 0;
};

}  // namespace velmora::platform
