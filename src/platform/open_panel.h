#pragma once
// The open panel (NSOpenPanel) run modally to choose one file.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

struct OpenPanelRequest {
  std::string message;
  std::vector<std::string> allowedExtensions;  // lower case, without the dot
  bool canChooseDirectories = false;
  bool allowsMultipleSelection = false;
};

class OpenPanel {
 public:
  virtual ~OpenPanel() = default;
  // The chosen file, or none when the user cancelled.
  virtual std::optional<std::filesystem::path> runModal(const OpenPanelRequest& request) = 0;
};

}  // namespace velmora::platform
