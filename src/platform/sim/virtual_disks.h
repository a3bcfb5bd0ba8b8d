#pragma once
// The virtual Mac's disks: a startup disk whose root is a folder under the virtual home
// ("/Applications" is <system root>/Applications) and the volumes mounted on it, such as the
// read-only disk image Velmora is downloaded on. Files are real files, changed through
// linuxhost::LocalFiles; the volumes decide what may change, as macOS does.

#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/linux/local_files.h"
#include "platform/volumes.h"

namespace velmora::sim {

// Decides the outcome of a move before it happens: a failure fails it with its description,
// success lets it run.
using MoveRule =
    std::function<Result<void>(const std::filesystem::path& from, const std::filesystem::path& to)>;

class VirtualDisks final : public platform::Volumes, public platform::Files {
 public:
  // Makes the startup disk's root and its Applications folder.
  explicit VirtualDisks(std::filesystem::path systemRoot);

  const std::filesystem::path& systemRoot() const { return root_; }
  // Mounts a volume with these facts at `mountPoint`, creating the folder.
  void mountVolume(const std::filesystem::path& mountPoint, platform::VolumeFacts facts);
  // Takes the volume at `mountPoint` away (its folder stays); false when none is mounted there.
  bool unmountVolume(const std::filesystem::path& mountPoint);
  // A folder the user may not change: new items cannot be added to it. False lifts it again.
  void setFolderLocked(const std::filesystem::path& folder, bool locked);
  // A disk image as the Finder mounts one: read-only, at <system root>/Volumes/<name>.
  std::filesystem::path mountDiskImage(const std::string& name);
  // Every later move asks `rule` first; an empty rule lets every move run again.
  void failMoves(MoveRule rule) { moveRule_ = std::move(rule); }
  // Every later copy, move and removal asks `rule` first, with "copy", "move" or "remove" and
  // its paths (`to` empty for a removal); an empty rule lets them all run again.
  using ChangeRule =
      std::function<Result<void>(std::string_view operation, const std::filesystem::path& from,
                                 const std::filesystem::path& to)>;
  void failChanges(ChangeRule rule) { changeRule_ = std::move(rule); }

  // ---- platform::Volumes ----
  // The facts of the innermost volume holding an existing item; the startup disk otherwise.
  std::optional<platform::VolumeFacts> volumeFacts(const std::filesystem::path& path) override;

  // ---- platform::Files ----
  std::filesystem::path localApplicationsFolder() override { return root_ / "Applications"; }
  bool exists(const std::filesystem::path& path) override { return local_.exists(path); }
  bool isWritableFolder(const std::filesystem::path& path) override;
  Result<void> copyBundle(const std::filesystem::path& from,
                          const std::filesystem::path& to) override;
  Result<void> moveItem(const std::filesystem::path& from,
                        const std::filesystem::path& to) override;
  Result<void> removeItem(const std::filesystem::path& path) override;
  Result<void> writeAtomically(const std::filesystem::path& path,
                               const std::string& bytes) override;

 private:
  // Whether `path` may change: a read-only volume refuses, with the system's description.
  Result<void> mayChange(const std::filesystem::path& path);

  std::filesystem::path root_;
  linuxhost::LocalFiles local_;
  // The updater mounts and checks from its worker thread.
  mutable std::mutex mutex_;
  std::vector<std::pair<std::filesystem::path, platform::VolumeFacts>> mounts_;
  std::vector<std::filesystem::path> locked_;
  MoveRule moveRule_;
  ChangeRule changeRule_;
};

}  // namespace velmora::sim
