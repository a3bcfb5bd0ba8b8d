#include "platform/linux/local_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

Result<void> LocalFiles::writeAtomically(const fs::path& path, const std::string& bytes) {
  fs::path temporary = path;
  temporary += ".velmora-XXXXXX";
  std::string pattern = temporary.string();
  int fd = ::mkstemp(pattern.data());
  if (fd < 0) return Failure{std::strerror(errno)};
  std::size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  int problem = written == bytes.size() ? 0 : errno;
  if (::fsync(fd) != 0 && problem == 0) problem = errno;
  ::close(fd);
  // A saved file is readable by the user's other programs, as the Finder makes one.
  ::chmod(pattern.c_str(), 0644);
  if (problem == 0 && ::rename(pattern.c_str(), path.c_str()) != 0) problem = errno;
  if (problem == 0) return {};
  ::unlink(pattern.c_str());
  return Failure{std::strerror(problem)};
}

}  // namespace velmora::linuxhost
