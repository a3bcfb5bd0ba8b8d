#include "platform/linux/local_files.h"

#include <unistd.h>

#include <system_error>

namespace velmora::linuxhost {

namespace fs = std::filesystem;

namespace {

Result<void> described(const std::error_code& error) {
  if (!error) return {};
  return Failure{error.message()};
}

}  // namespace

bool LocalFiles::exists(const fs::path& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
}

bool LocalFiles::isWritableFolder(const fs::path& path) {
  std::error_code ignored;
  return fs::is_directory(path, ignored) && ::access(path.c_str(), W_OK) == 0;
}

Result<void> LocalFiles::copyBundle(const fs::path& from, const fs::path& to) {
  std::error_code error;
  if (!fs::is_directory(from, error)) {
    return Failure{from.string() + ": No such file or directory"};
  }
  // Like ditto, the destination is created and filled; links stay links.
  if (fs::exists(fs::symlink_status(to, error))) return Failure{to.string() + ": File exists"};
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
  return described(error);
}

Result<void> LocalFiles::moveItem(const fs::path& from, const fs::path& to) {
  std::error_code error;
  // rename() would silently replace an empty folder or a file; moveItem never replaces.
  if (fs::exists(fs::symlink_status(to, error))) return Failure{to.string() + ": File exists"};
  fs::rename(from, to, error);
  return described(error);
}

Result<void> LocalFiles::removeItem(const fs::path& path) {
  std::error_code error;
  if (!fs::exists(fs::symlink_status(path, error))) {
    return Failure{path.string() + ": No such file or directory"};
  }
  fs::remove_all(path, error);
  return described(error);
}

}  // namespace velmora::linuxhost
