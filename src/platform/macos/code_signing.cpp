#include "platform/macos/code_signing.h"

#include <CoreFoundation/CoreFoundation.h>
#include <Security/Security.h>

#include "platform/macos/cf_ptr.h"
#include "platform/macos/cf_value.h"

namespace velmora::macos {

namespace {

// The static code object for a path, or the status that says why there is none.
OSStatus staticCode(const std::filesystem::path& bundle, CFPtr<SecStaticCodeRef>& code) {
  CFPtr<CFStringRef> path = cfString(bundle.string());
  if (!path) return errSecCSStaticCodeNotFound;
  auto url = CFPtr<CFURLRef>::adopt(
      CFURLCreateWithFileSystemPath(kCFAllocatorDefault, path.get(), kCFURLPOSIXPathStyle, true));
  if (!url) return errSecCSStaticCodeNotFound;
  SecStaticCodeRef made = nullptr;
  OSStatus status = SecStaticCodeCreateWithPath(url.get(), kSecCSDefaultFlags, &made);
  code = CFPtr<SecStaticCodeRef>::adopt(made);
  return status;
}

OSStatus requirementFrom(const std::string& text, CFPtr<SecRequirementRef>& requirement) {
  CFPtr<CFStringRef> string = cfString(text);
  if (!string) return errSecCSReqInvalid;
  SecRequirementRef made = nullptr;
  OSStatus status = SecRequirementCreateWithString(string.get(), kSecCSDefaultFlags, &made);
  requirement = CFPtr<SecRequirementRef>::adopt(made);
  return status;
}

}  // namespace

std::int32_t MacCodeSigning::createStaticCode(const std::filesystem::path& bundle) {
  CFPtr<SecStaticCodeRef> code;
  return staticCode(bundle, code);
}

std::int32_t MacCodeSigning::checkValidity(const std::filesystem::path& bundle) {
  CFPtr<SecStaticCodeRef> code;
  if (OSStatus status = staticCode(bundle, code); status != 0) return status;
  return SecStaticCodeCheckValidity(code.get(), kSecCSDefaultFlags, nullptr);
}

std::int32_t MacCodeSigning::createRequirement(const std::string& text) {
  CFPtr<SecRequirementRef> requirement;
  return requirementFrom(text, requirement);
}

std::int32_t MacCodeSigning::checkValidity(const std::filesystem::path& bundle,
                                           const std::string& requirement) {
  CFPtr<SecStaticCodeRef> code;
  if (OSStatus status = staticCode(bundle, code); status != 0) return status;
  CFPtr<SecRequirementRef> compiled;
  if (OSStatus status = requirementFrom(requirement, compiled); status != 0) return status;
  return SecStaticCodeCheckValidity(code.get(), kSecCSDefaultFlags, compiled.get());
}

}  // namespace velmora::macos
