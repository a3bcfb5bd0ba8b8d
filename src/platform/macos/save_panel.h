#pragma once
// The save panel (NSSavePanel), shown without blocking; the answer arrives on the main thread.

#include "platform/save_panel.h"

namespace velmora::macos {

class MacSavePanel final : public platform::SavePanel {
 public:
  void begin(const platform::SavePanelRequest& request, Answer answer) override;
};

}  // namespace velmora::macos
