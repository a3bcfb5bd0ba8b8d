#include "platform/sim/virtual_save_panel.h"

#include <utility>

namespace velmora::sim {

void VirtualSavePanel::begin(const platform::SavePanelRequest& request, Answer answer) {
  if (open_) this->answer(std::nullopt);
  requests_.push_back(request);
  open_ = request;
  pending_ = std::move(answer);
}

bool VirtualSavePanel::answer(std::optional<std::filesystem::path> location) {
  if (!open_) return false;
  open_.reset();
  Answer answer = std::move(pending_);
  pending_ = nullptr;
  if (answer) {
    loop_.post([answer = std::move(answer), location = std::move(location)] { answer(location); });
  }
  return true;
}

}  // namespace velmora::sim
