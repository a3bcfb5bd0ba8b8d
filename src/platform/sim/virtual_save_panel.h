#pragma once
// The virtual Mac's save panel (NSSavePanel): it stays open until the user answers it with a
// location or Cancel, and the answer reaches Velmora on the next loop turn, as the completion
// handler does on a Mac. Every request is recorded.

#include <filesystem>
#include <optional>
#include <vector>

#include "core/main_loop.h"
#include "platform/save_panel.h"

namespace velmora::sim {

class VirtualSavePanel final : public platform::SavePanel {
 public:
  explicit VirtualSavePanel(MainLoop& loop) : loop_(loop) {}

  // A panel already open is replaced, as a second sheet would not open: the first hears Cancel.
  void begin(const platform::SavePanelRequest& request, Answer answer) override;

  // The open panel's request, or none.
  const std::optional<platform::SavePanelRequest>& open() const { return open_; }
  // The user chooses `location` (none: Cancel). False when no panel is open.
  bool answer(std::optional<std::filesystem::path> location);
  const std::vector<platform::SavePanelRequest>& requests() const { return requests_; }

 private:
  MainLoop& loop_;
  std::optional<platform::SavePanelRequest> open_;
  Answer pending_;
  std::vector<platform::SavePanelRequest> requests_;
};

}  // namespace velmora::sim
