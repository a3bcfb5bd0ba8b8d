#pragma once
// The open panel (NSOpenPanel), run modally on the main thread.

#include <filesystem>
#include <optional>

#include "platform/open_panel.h"

namespace velmora::macos {

class MacOpenPanel final : public platform::OpenPanel {
 public:
  std::optional<std::filesystem::path> runModal(const platform::OpenPanelRequest& request) override;
};

}  // namespace velmora::macos
