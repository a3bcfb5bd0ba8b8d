#pragma once
// Where a copy of Velmora goes and how it gets there, for the installer and for the offer to
// move a copy that runs from the disk image into Applications.
//
// The copy never replaces the running bundle in one step: the new copy is made beside the
// target under a hidden name, the old one is moved aside, and only moves inside that one
// folder follow, so a failure at any step leaves the folder as it was.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"
#include "platform/files.h"
#include "platform/home.h"
#include "platform/volumes.h"

namespace velmora::updates {

// A random (version 4) UUID, so hidden copies and temporary files never collide with leftovers
// of an earlier run.
std::string freshUUID();

class InstallLocations {
 public:
  InstallLocations(platform::Volumes& volumes, platform::Files& files, platform::HomeFolder home)
      : volumes_(volumes), files_(files), home_(std::move(home)) {}

  // Whether the bundle runs from a mounted disk image: the volume of its folder says it is
  // read-only and does not say it is the root file system. When the volume does not say
  // whether it is read-only, the answer is no.
  bool runsFromDiskImage(const std::filesystem::path& bundle);

  // Whether a copy may be put at `location`: its folder is writable and the folder's volume
  // does not say it is read-only.
  bool canBeReplaced(const std::filesystem::path& location);

  // "/Applications", then the Applications folder in the user's home.
  std::vector<std::filesystem::path> applicationsFolders();

  // Where an update goes: the running bundle itself when it can be replaced, otherwise the
  // first Applications folder, under the bundle's own name, that can be. None when neither.
  std::optional<std::filesystem::path> installTarget(const std::filesystem::path& bundle);

  // Where the move to Applications copies the bundle: the first Applications folder, under the
  // bundle's own name, that can be replaced and is not where the bundle already runs.
  std::optional<std::filesystem::path> moveDestination(const std::filesystem::path& bundle);

  // Puts a copy of the bundle at `source` at `target`, replacing what is there; on failure,
  // one sentence for the user (and the updates log), and the target folder as it was.
  Result<void> swap(const std::filesystem::path& source, const std::filesystem::path& target);

  // After a swap that was cut short (the process ended mid-way): a copy moved aside goes back
  // to `target` when nothing is there, and hidden copies left beside it go. Best effort.
  void recover(const std::filesystem::path& target);

 private:
  platform::Volumes& volumes_;
  platform::Files& files_;
  platform::HomeFolder home_;
};

}  // namespace velmora::updates
