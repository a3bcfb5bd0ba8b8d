#pragma once
// The file operations that put a copy of Velmora in place: NSFileManager, and "/usr/bin/ditto"
// for a whole bundle, which keeps its links, permissions and extended attributes as a copy of a
// signed bundle must.

#include "platform/files.h"
#include "platform/macos/process_runner.h"

namespace velmora::macos {

class MacFiles final : public platform::Files {
 public:
  // URLsForDirectory:NSApplicationDirectory inDomains:NSLocalDomainMask.
  std::filesystem::path localApplicationsFolder() override;
  // fileExistsAtPath:.
  bool exists(const std::filesystem::path& path) override;
  // fileExistsAtPath:isDirectory: and isWritableFileAtPath:.
  bool isWritableFolder(const std::filesystem::path& path) override;
  // "/usr/bin/ditto" from to, run through MacProcessRunner.
  Result<void> copyBundle(const std::filesystem::path& from,
                          const std::filesystem::path& to) override;
  // moveItemAtURL:toURL:error:.
  Result<void> moveItem(const std::filesystem::path& from,
                        const std::filesystem::path& to) override;
  // removeItemAtURL:error:.
  Result<void> removeItem(const std::filesystem::path& path) override;
  // writeToURL:options:NSDataWritingAtomic error:.
  Result<void> writeAtomically(const std::filesystem::path& path,
                               const std::string& bytes) override;

 private:
  MacProcessRunner processes_;
};

}  // namespace velmora::macos
