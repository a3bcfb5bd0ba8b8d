#pragma once
// The file operations that put a copy of Velmora in place (FileManager, and "/usr/bin/ditto"
// for the copy of a whole bundle), and the one that writes a file the user asked for. A change
// that fails answers the system's description of what went wrong (the NSError's
// localizedDescription, or the tool's standard error).

#include <filesystem>
#include <optional>
#include <string>

#include "core/result.h"

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
  virtual Result<void> copyBundle(const std::filesystem::path& from,
                                  const std::filesystem::path& to) = 0;
  // moveItem(at:to:); fails when `to` exists. On failure, the error's localizedDescription.
  virtual Result<void> moveItem(const std::filesystem::path& from,
                                const std::filesystem::path& to) = 0;
  // removeItem(at:), folders with everything in them.
  virtual Result<void> removeItem(const std::filesystem::path& path) = 0;
  // Data.write(to:options: .atomic): the whole file appears at once or not at all, replacing
  // one already there. On failure, the error's localizedDescription.
  virtual Result<void> writeAtomically(const std::filesystem::path& path,
                                       const std::string& bytes) = 0;
};

}  // namespace velmora::platform
