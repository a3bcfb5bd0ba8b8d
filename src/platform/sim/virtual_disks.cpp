#include "platform/sim/virtual_disks.h"

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
  mounts_.emplace_back(mountPoint, facts);
}

fs::path VirtualDisks::mountDiskImage(const std::string& name) {
  auto mountPoint = root_ / "Volumes" / name;
  mountVolume(mountPoint, platform::VolumeFacts{true, false});
  return mountPoint;
}

std::optional<platform::VolumeFacts> VirtualDisks::volumeFacts(const fs::path& path) {
  if (!local_.exists(path)) return std::nullopt;
  const std::pair<fs::path, platform::VolumeFacts>* innermost = nullptr;
  for (const auto& mount : mounts_) {
    if (lies(path, mount.first) && (!innermost || lies(mount.first, innermost->first))) {
      innermost = &mount;
    }
  }
  if (innermost) return innermost->second;
  return platform::VolumeFacts{false, true};
}

std::optional<std::string> VirtualDisks::refuseChange(const fs::path& path) {
  auto facts = volumeFacts(path);
  if (facts && facts->readOnly.value_or(false)) return "Read-only file system";
  return std::nullopt;
}

bool VirtualDisks::isWritableFolder(const fs::path& path) {
  return !refuseChange(path) && local_.isWritableFolder(path);
}

std::optional<std::string> VirtualDisks::copyBundle(const fs::path& from, const fs::path& to) {
  if (auto refused = refuseChange(to.parent_path())) return refused;
  return local_.copyBundle(from, to);
}

std::optional<std::string> VirtualDisks::moveItem(const fs::path& from, const fs::path& to) {
  if (auto refused = refuseChange(from)) return refused;
  if (auto refused = refuseChange(to.parent_path())) return refused;
  if (moveRule_) {
    if (auto failed = moveRule_(from, to)) return failed;
  }
  return local_.moveItem(from, to);
}

std::optional<std::string> VirtualDisks::removeItem(const fs::path& path) {
  if (auto refused = refuseChange(path)) return refused;
  return local_.removeItem(path);
}

}  // namespace velmora::sim
