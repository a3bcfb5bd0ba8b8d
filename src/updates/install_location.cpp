#include "updates/install_location.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <random>

namespace velmora::updates {

namespace fs = std::filesystem;

std::string freshUUID() {
  std::random_device device;
  std::array<std::uint8_t, 16> bytes{};
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(device());
  bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
  bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
    text += hex;
  }
  return text;
}

namespace {

bool sameLocation(const fs::path& a, const fs::path& b) {
  return a.lexically_normal() == b.lexically_normal();
}

}  // namespace

bool InstallLocations::runsFromDiskImage(const fs::path& bundle) {
  auto facts = volumes_.volumeFacts(bundle.parent_path());
  if (!facts || !facts->readOnly) return false;
  return *facts->readOnly && !facts->rootFileSystem.value_or(false);
}

bool InstallLocations::canBeReplaced(const fs::path& location) {
  auto folder = location.parent_path();
  if (!files_.isWritableFolder(folder)) return false;
  auto facts = volumes_.volumeFacts(folder);
  return !(facts && facts->readOnly.value_or(false));
}

std::vector<fs::path> InstallLocations::applicationsFolders() {
  return {files_.localApplicationsFolder(), home_.root / "Applications"};
}

std::optional<fs::path> InstallLocations::installTarget(const fs::path& bundle) {
  if (canBeReplaced(bundle)) return bundle;
  for (const auto& folder : applicationsFolders()) {
    auto location = folder / bundle.filename();
    if (canBeReplaced(location)) return location;
  }
  return std::nullopt;
}

std::optional<fs::path> InstallLocations::moveDestination(const fs::path& bundle) {
  for (const auto& folder : applicationsFolders()) {
    auto location = folder / bundle.filename();
    if (!sameLocation(location, bundle) && canBeReplaced(location)) return location;
  }
  return std::nullopt;
}

// The clean-ups after a failed step are best effort: the sentence tells of the step that
// failed, and a hidden copy left behind only costs disk space.
Result<void> InstallLocations::swap(const fs::path& source, const fs::path& target) {
  auto folder = target.parent_path();
  if (!files_.isWritableFolder(folder)) {
    return Failure{"no permission to change " + folder.string()};
  }

  auto fresh = folder / (".Velmora-new-" + freshUUID() + ".app");
  if (auto copied = files_.copyBundle(source, fresh); !copied) {
    // A copy that stopped half-way would otherwise stay behind, hidden, for good.
    if (files_.exists(fresh)) (void)files_.removeItem(fresh);
    return Failure{"the copy did not go through: " + copied.error()};
  }

  std::optional<fs::path> aside;
  if (files_.exists(target)) {
    aside = folder / (".Velmora-old-" + freshUUID() + ".app");
    if (auto moved = files_.moveItem(target, *aside); !moved) {
      (void)files_.removeItem(fresh);
      return Failure{"the old copy could not be moved aside: " + moved.error()};
    }
  }

  if (auto placed = files_.moveItem(fresh, target); !placed) {
    if (aside) (void)files_.moveItem(*aside, target);
    (void)files_.removeItem(fresh);
    return Failure{"the new copy could not be put in place: " + placed.error()};
  }

  // The new copy is in place; an old one that will not go away only costs disk space.
  if (aside) (void)files_.removeItem(*aside);
  return {};
}

void InstallLocations::recover(const fs::path& target) {
  auto folder = target.parent_path();
  std::error_code error;
  std::vector<fs::path> aside, fresh;
  for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator();
       it.increment(error)) {
    std::string name = it->path().filename().string();
    if (!name.ends_with(".app")) continue;
    if (name.starts_with(".Velmora-old-")) aside.push_back(it->path());
    if (name.starts_with(".Velmora-new-")) fresh.push_back(it->path());
  }
  // A half-made copy is never trusted; the one moved aside is the last copy that ran.
  for (const fs::path& path : fresh) (void)files_.removeItem(path);
  for (const fs::path& path : aside) {
    if (!files_.exists(target) && files_.moveItem(path, target)) continue;
    (void)files_.removeItem(path);
  }
}

}  // namespace velmora::updates
