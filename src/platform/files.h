#pragma once
// The file operations that put a copy of Velmora in place (FileManager, and "/usr/bin/ditto"
// for the copy of a whole bundle). Each answers none on success, or the system's description
// of what went wrong.

#include <filesystem>
#include <optional>
#include <string>

namespace velmora::platform {

class Files {
 public:
  virtual ~Files() = default;
  // urls(for: .applicationDirectory, in: .localDomainMask): "/Applications" on a Mac.
  virtual std::filesystem::path localApplicationsFolder() = 0;
  // fileExists(atPath:).
  virtual bool exists(const std::filesystem::path& path) = 0;
  // fileExists(atPath:isDirectory:) and isWritableFile(atPath:): a folder we may add items to.
  virtual bool isWritableFolder(const std::filesystem::path& path) = 0;
  // "/usr/bin/ditto" from to: the bundle folder and everything in it. On failure, why the tool
  // could not start, or its standard error trimmed of surrounding white space.
  virtual std::optional<std::string> copyBundle(const std::filesystem::path& from,
                                                const std::filesystem::path& to) = 0;
  // moveItem(at:to:); fails when `to` exists. On failure, the error's localizedDescription.
  virtual std::optional<std::string> moveItem(const std::filesystem::path& from,
                                              const std::filesystem::path& to) = 0;
  // removeItem(at:), folders with everything in them.
  virtual std::optional<std::string> removeItem(const std::filesystem::path& path) = 0;
};

}  // namespace velmora::platform
