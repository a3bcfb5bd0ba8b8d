#pragma once
// The file operations of platform::Files on the local disk, through std::filesystem. The
// virtual Mac uses them under its own home, so every change is a real one a test can look at.

#include <filesystem>

#include "platform/files.h"

namespace velmora::linuxhost {

class LocalFiles final : public platform::Files {
 public:
  // `applicationsFolder` stands for "/Applications"; it is not created here.
  explicit LocalFiles(std::filesystem::path applicationsFolder)
      : applications_(std::move(applicationsFolder)) {}

  std::filesystem::path localApplicationsFolder() override { return applications_; }
  bool exists(const std::filesystem::path& path) override;
  bool isWritableFolder(const std::filesystem::path& path) override;
  Result<void> copyBundle(const std::filesystem::path& from,
                          const std::filesystem::path& to) override;
  Result<void> moveItem(const std::filesystem::path& from,
                        const std::filesystem::path& to) override;
  Result<void> removeItem(const std::filesystem::path& path) override;
  // A temporary file beside `path`, renamed over it once complete.
  Result<void> writeAtomically(const std::filesystem::path& path,
                               const std::string& bytes) override;

 private:
  std::filesystem::path applications_;
};

}  // namespace velmora::linuxhost
