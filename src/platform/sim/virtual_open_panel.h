#pragma once
// The virtual Mac's open panel (NSOpenPanel), answered as the user will answer it: a file, or
// Cancel when no answer is queued. Every request is recorded.

#include <filesystem>
#include <optional>
#include <vector>

#include "platform/open_panel.h"

namespace velmora::sim {

class VirtualOpenPanel final : public platform::OpenPanel {
 public:
  std::optional<std::filesystem::path> runModal(
      const platform::OpenPanelRequest& request) override {
    requests_.push_back(request);
    if (answers_.empty()) return std::nullopt;
    auto answer = std::move(answers_.front());
    answers_.erase(answers_.begin());
    return answer;
  }
  // The next panel is answered with this file (none: Cancel).
  void answer(std::optional<std::filesystem::path> file) { answers_.push_back(std::move(file)); }
  const std::vector<platform::OpenPanelRequest>& requests() const { return requests_; }

 private:
  std::vector<std::optional<std::filesystem::path>> answers_;
  std::vector<platform::OpenPanelRequest> requests_;
};

}  // namespace velmora::sim
