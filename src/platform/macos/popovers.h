#pragma once
// The popover the menu bar tile opens: an NSPopover whose view controller hosts one view that
// paints the content through a canvas. Main thread only.

#include "platform/popover.h"

namespace velmora::macos {

class MacPopovers final : public platform::Popovers {
 public:
  std::unique_ptr<platform::Popover> makePopover(const platform::PopoverConfig& config) override;
};

}  // namespace velmora::macos
