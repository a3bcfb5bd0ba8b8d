#pragma once
// The floating panels the surfaces live in: NSPanel windows whose one view paints the
// panel's content through a canvas over the view's context. Main thread only.

#include "platform/panels.h"

namespace velmora::macos {

class MacPanels final : public platform::Panels {
 public:
  std::unique_ptr<platform::Panel> makePanel(const platform::PanelConfig& config) override;
};

}  // namespace velmora::macos
