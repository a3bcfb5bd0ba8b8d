#pragma once
// What the system knows about the volume under a path (NSURL resource values).

#include "platform/volumes.h"

namespace velmora::macos {

class MacVolumes final : public platform::Volumes {
 public:
  // resourceValuesForKeys:@[NSURLVolumeIsReadOnlyKey, NSURLVolumeIsRootFileSystemKey] error:
  // of the file URL.
  std::optional<platform::VolumeFacts> volumeFacts(const std::filesystem::path& path) override;
};

}  // namespace velmora::macos
