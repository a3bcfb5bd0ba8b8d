#pragma once
// Every per-user path hangs off one home root. On a Mac it is the user's home folder; the
// virtual Mac and the tests point it at a folder of their own, never at the real home.

#include <filesystem>

namespace velmora::platform {

struct HomeFolder {
  std::filesystem::path root;
  // The system's temporary folder (NSTemporaryDirectory); "tmp" under the root when not given.
  std::filesystem::path temporaryRoot = {};

  std::filesystem::path library() const { return root / "Library"; }
  std::filesystem::path preferences() const { return library() / "Preferences"; }
  std::filesystem::path applicationSupport() const { return library() / "Application Support"; }
  std::filesystem::path logs() const { return library() / "Logs"; }
  std::filesystem::path temporary() const {
    return temporaryRoot.empty() ? root / "tmp" : temporaryRoot;
  }
};

}  // namespace velmora::platform
