#pragma once
// Every per-user path hangs off one home root. On a Mac it is the user's home folder; the
// virtual Mac and the tests point it at a folder of their own, never at the real home.

#include <filesystem>

namespace velmora::platform {

struct HomeFolder {
  std::filesystem::path root;

  std::filesystem::path library() const { return root / "Library"; }
  std::filesystem::path preferences() const { return library() / "Preferences"; }
  std::filesystem::path applicationSupport() const { return library() / "Application Support"; }
  std::filesystem::path logs() const { return library() / "Logs"; }
};

}  // namespace velmora::platform
