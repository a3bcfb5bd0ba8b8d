#pragma once
// What the system says about the volume a path lies on (NSURL resource values). Velmora asks
// to learn whether it runs from a mounted disk image and whether a folder can take a new copy.

#include <filesystem>
#include <optional>

namespace velmora::platform {

struct VolumeFacts {
  std::optional<bool> readOnly;        // volumeIsReadOnly; none when the system did not say
  std::optional<bool> rootFileSystem;  // volumeIsRootFileSystem; none when the system did not say
};

class Volumes {
 public:
  virtual ~Volumes() = default;
  // resourceValues(forKeys: [.volumeIsReadOnlyKey, .volumeIsRootFileSystemKey]) of the item at
  // `path`; none when the call fails (no such item, or the volume does not answer).
  virtual std::optional<VolumeFacts> volumeFacts(const std::filesystem::path& path) = 0;
};

}  // namespace velmora::platform
