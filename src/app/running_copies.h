#pragma once
// Only one Velmora runs at a time. A copy that starts while another runs (a newer version
// opened from a disk image, a second double-click on another copy) takes over: the others
// are asked to quit, and ended when they will not.

#include "core/line_log.h"
#include "platform/platform.h"

namespace velmora {

// Ends every other running application with this bundle's identifier, writing a line per
// copy to the switches log; this process is left alone. Answers how many copies it ended
// or asked to quit.
int retireOtherRunningCopies(const platform::Platform& platform, LineLog& switchesLog);

}  // namespace velmora
