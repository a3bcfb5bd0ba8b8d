#include "platform/macos/window_server.h"

#include "platform/macos/cf_ptr.h"
#include "platform/macos/cf_value.h"

namespace velmora::macos {

// The seam's window-list options are Quartz's own numbers, so they pass through unconverted.
static_assert(platform::kWindowListOptionAll == kCGWindowListOptionAll);
static_assert(platform::kWindowListOptionOnScreenOnly == kCGWindowListOptionOnScreenOnly);
static_assert(platform::kWindowListExcludeDesktopElements == kCGWindowListExcludeDesktopElements);

namespace {

// An answer of the kind the call promises, else null: a (private) call that changed what it
// returns must read as no answer, not as a different one.
Value valueOfKind(const CFPtr<CFTypeRef>& answer, CFTypeID kind) {
  return valueFrom(cfCast<CFTypeRef>(answer.get(), kind));
}

}  // namespace

MacWindowServer::MacWindowServer()
    : skyLight_(kSkyLightPath, log_), sls_(resolveSkyLight(skyLight_)) {}

platform::ConnectionID MacWindowServer::mainConnectionID() {
  return sls_.mainConnectionID ? sls_.mainConnectionID() : 0;
}

Value MacWindowServer::copyManagedDisplaySpaces(platform::ConnectionID cid) {
  if (!sls_.copyManagedDisplaySpaces) return Value();
  auto answer = CFPtr<CFTypeRef>::adopt(sls_.copyManagedDisplaySpaces(cid));
  return valueOfKind(answer, CFArrayGetTypeID());
}

std::int32_t MacWindowServer::managedDisplaySetCurrentSpace(platform::ConnectionID cid,
                                                            const std::string& displayUUID,
                                                            std::uint64_t spaceID) {
  if (!sls_.managedDisplaySetCurrentSpace) return kCGErrorFailure;
  CFPtr<CFStringRef> uuid = cfString(displayUUID);
  if (!uuid) return kCGErrorIllegalArgument;
  return sls_.managedDisplaySetCurrentSpace(cid, uuid.get(), spaceID);
}

Value MacWindowServer::copyActiveMenuBarDisplayIdentifier(platform::ConnectionID cid) {
  if (!sls_.copyActiveMenuBarDisplayIdentifier) return Value();
  auto answer = CFPtr<CFTypeRef>::adopt(sls_.copyActiveMenuBarDisplayIdentifier(cid));
  return valueOfKind(answer, CFStringGetTypeID());
}

Value MacWindowServer::spaceCopyName(platform::ConnectionID cid, std::uint64_t spaceID) {
  if (!sls_.spaceCopyName) return Value();
  auto answer = CFPtr<CFTypeRef>::adopt(sls_.spaceCopyName(cid, spaceID));
  return valueOfKind(answer, CFStringGetTypeID());
}

Value MacWindowServer::copyWindowsWithOptionsAndTags(platform::ConnectionID cid, std::int32_t owner,
                                                     const Value& spaces, std::uint32_t options,
                                                     std::uint64_t& setTags,
                                                     std::uint64_t& clearTags) {
  if (!sls_.copyWindowsWithOptionsAndTags) return Value();
  // Only an array of space ids is passed on: the call reads whatever it is given as one.
  CFPtr<CFTypeRef> cfSpaces = cfFrom(spaces);
  auto spaceList = cfCast<CFArrayRef>(cfSpaces.get(), CFArrayGetTypeID());
  if (!spaceList) return Value();
  auto answer = CFPtr<CFTypeRef>::adopt(sls_.copyWindowsWithOptionsAndTags(
      cid, static_cast<std::uint32_t>(owner), spaceList, options, &setTags, &clearTags));
  return valueOfKind(answer, CFArrayGetTypeID());
}

void MacWindowServer::moveWindowsToManagedSpace(platform::ConnectionID cid, const Value& windows,
                                                std::uint64_t spaceID) {
  if (!sls_.moveWindowsToManagedSpace) return;
  CFPtr<CFTypeRef> cfWindows = cfFrom(windows);
  auto windowList = cfCast<CFArrayRef>(cfWindows.get(), CFArrayGetTypeID());
  if (!windowList) return;
  sls_.moveWindowsToManagedSpace(cid, windowList, spaceID);
}

Value MacWindowServer::windowListCopyWindowInfo(std::uint32_t options,
                                                std::uint32_t relativeToWindow) {
  auto answer = CFPtr<CFTypeRef>::adopt(CGWindowListCopyWindowInfo(options, relativeToWindow));
  return valueOfKind(answer, CFArrayGetTypeID());
}

}  // namespace velmora::macos
