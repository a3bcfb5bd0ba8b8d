#include "platform/macos/skylight.h"

namespace velmora::macos {

namespace {

// dlsym answers an untyped address; the signature it is read with is the one above.
template <class Fn>
Fn find(PrivateSymbols& library, const char* name) {
  return reinterpret_cast<Fn>(library.lookup(name));
}

}  // namespace

SkyLightFunctions resolveSkyLight(PrivateSymbols& skyLight) {
  SkyLightFunctions f;
  f.mainConnectionID = find<SLSMainConnectionIDFn>(skyLight, "SLSMainConnectionID");
  f.copyManagedDisplaySpaces =
      find<SLSCopyManagedDisplaySpacesFn>(skyLight, "SLSCopyManagedDisplaySpaces");
  f.managedDisplaySetCurrentSpace =
      find<SLSManagedDisplaySetCurrentSpaceFn>(skyLight, "SLSManagedDisplaySetCurrentSpace");
  f.copyActiveMenuBarDisplayIdentifier = find<SLSCopyActiveMenuBarDisplayIdentifierFn>(
      skyLight, "SLSCopyActiveMenuBarDisplayIdentifier");
  f.spaceCopyName = find<SLSSpaceCopyNameFn>(skyLight, "SLSSpaceCopyName");
  f.copyWindowsWithOptionsAndTags =
      find<SLSCopyWindowsWithOptionsAndTagsFn>(skyLight, "SLSCopyWindowsWithOptionsAndTags");
  f.moveWindowsToManagedSpace =
      find<SLSMoveWindowsToManagedSpaceFn>(skyLight, "SLSMoveWindowsToManagedSpace");
  return f;
}

}  // namespace velmora::macos
