#pragma once
// The window server on a Mac: the private SkyLight calls for spaces and their windows, and
// the Quartz window list. Main thread.

#include "platform/macos/private_symbols.h"
#include "platform/macos/skylight.h"
#include "platform/macos/system_log.h"
#include "platform/window_server.h"

namespace velmora::macos {

class MacWindowServer final : public platform::WindowServer {
 public:
  // Looks the SkyLight functions up; the ones this macOS lacks go to the system log.
  MacWindowServer();

  platform::ConnectionID mainConnectionID() override;
  Value copyManagedDisplaySpaces(platform::ConnectionID cid) override;
  std::int32_t managedDisplaySetCurrentSpace(platform::ConnectionID cid,
                                             const std::string& displayUUID,
                                             std::uint64_t spaceID) override;
  Value copyActiveMenuBarDisplayIdentifier(platform::ConnectionID cid) override;
  Value spaceCopyName(platform::ConnectionID cid, std::uint64_t spaceID) override;
  Value copyWindowsWithOptionsAndTags(platform::ConnectionID cid, std::int32_t owner,
                                      const Value& spaces, std::uint32_t options,
                                      std::uint64_t& setTags, std::uint64_t& clearTags) override;
  void moveWindowsToManagedSpace(platform::ConnectionID cid, const Value& windows,
                                 std::uint64_t spaceID) override;
  Value windowListCopyWindowInfo(std::uint32_t options, std::uint32_t relativeToWindow) override;

 private:
  SystemLog log_;
  PrivateSymbols skyLight_;
  SkyLightFunctions sls_;
};

}  // namespace velmora::macos
