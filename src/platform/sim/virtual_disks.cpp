#include "platform/sim/virtual_disks.h"

#include <algorithm>
#include <system_error>

namespace velmora::sim {

namespace fs = std::filesystem;

namespace {

// Whether `path` is `folder` or lies inside it.
bool lies(const fs::path& path, const fs::path& folder) {
  auto relative = path.lexically_normal().lexically_relative(folder.lexically_normal());
  return !relative.empty() && *relative.begin() != "..";
}

}  // namespace

VirtualDisks::VirtualDisks(fs::path systemRoot)
    : root_(std::move(systemRoot)), local_(root_ / "Applications") {
  std::error_code ignored;
  fs::create_directories(root_ / "Applications", ignored);
}

void VirtualDisks::mountVolume(const fs::path& mountPoint, platform::VolumeFacts facts) {
  std::error_code ignored;
  fs::create_directories(mountPoint, ignored);
  std::lock_guard lock(mutex_);
  mounts_.emplace_back(mountPoint, facts);
}

bool VirtualDisks::unmountVolume(const fs::path& mountPoint) {
  std::lock_guard lock(mutex_);
  auto it = std::find_if(mounts_.begin(), mounts_.end(), [&](const auto& mount) {
    return mount.first.lexically_normal() == mountPoint.lexically_normal();
  });
  if (it == mounts_.end()) return false;
  mounts_.erase(it);
  return true;
}

void VirtualDisks::setFolderLocked(const fs::path& folder, bool locked) {
  std::lock_guard lock(mutex_);
  std::erase(locked_, folder.lexically_normal());
  if (locked) locked_.push_back(folder.lexically_normal());
}

fs::path VirtualDisks::mountDiskImage(const std::string& name) {
  auto mountPoint = root_ / "Volumes" / name;
  mountVolume(mountPoint, platform::VolumeFacts{true, false});
  return mountPoint;
}

std::optional<platform::VolumeFacts> VirtualDisks::volumeFacts(const fs::path& path) {
  if (!local_.exists(path)) return std::nullopt;
  std::lock_guard lock(mutex_);
  const std::pair<fs::path, platform::VolumeFacts>* innermost = nullptr;
  for (const auto& mount : mounts_) {
    if (lies(path, mount.first) && (!innermost || lies(mount.first, innermost->first))) {
      innermost = &mount;
    }
  }
  if (innermost) return innermost->second;
  return platform::VolumeFacts{false, true};
}

Result<void> VirtualDisks::mayChange(const fs::path& path) {
  {
    std::lock_guard lock(mutex_);
    for (const fs::path& folder : locked_) {
      if (path.lexically_normal() == folder || path.parent_path().lexically_normal() == folder)
        return Failure{"Permission denied"};
    }
  }
  auto facts = volumeFacts(path);
  if (facts && facts->readOnly.value_or(false)) return Failure{"Read-only file system"};
  return {};
}

bool VirtualDisks::isWritableFolder(const fs::path& path) {
  {
    std::lock_guard lock(mutex_);
    if (std::find(locked_.begin(), locked_.end(), path.lexically_normal()) != locked_.end())
      return false;
  }
  return mayChange(path) && local_.isWritableFolder(path);
}

Result<void> VirtualDisks::copyBundle(const fs::path& from, const fs::path& to) {
  if (auto allowed = mayChange(to.parent_path()); !allowed) return allowed;
  if (changeRule_) {
    if (auto allowed = changeRule_("copy", from, to); !allowed) return allowed;
  }
  return local_.copyBundle(from, to);
}

Result<void> VirtualDisks::moveItem(const fs::path& from, const fs::path& to) {
  if (auto allowed = mayChange(from); !allowed) return allowed;
  if (auto allowed = mayChange(to.parent_path()); !allowed) return allowed;
  if (changeRule_) {
    if (auto allowed = changeRule_("move", from, to); !allowed) return allowed;
  }
  if (moveRule_) {
    if (auto allowed = moveRule_(from, to); !allowed) return allowed;
  }
  return local_.moveItem(from, to);
}

Result<void> VirtualDisks::removeItem(const fs::path& path) {
  if (auto allowed = mayChange(path); !allowed) return allowed;
  if (changeRule_) {
    if (auto allowed = changeRule_("remove", path, {}); !allowed) return allowed;
  }
  return local_.removeItem(path);
}

Result<void> VirtualDisks::writeAtomically(const fs::path& path, const std::string& bytes) {
  if (auto allowed = mayChange(path.parent_path()); !allowed) return allowed;
  return local_.writeAtomically(path, bytes);
}

}  // namespace velmora::sim
