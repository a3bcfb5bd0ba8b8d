#include "core/virtual_loop.h"

namespace velmora {

void VirtualLoop::runDueUntil(double target, bool drain) {
  for (;;) {
    if (drain) drainInbox();
    double due;
    if (!nextDue(due) || due > target) break;
    if (due > now_) now_ = due;
    runNext();
  }
}

void VirtualLoop::advance(double seconds) {
  double target = now_ + (seconds > 0 ? seconds : 0);
  runDueUntil(target, !holdInbox_);
  now_ = target;
}

void VirtualLoop::runPending() {
  runDueUntil(now_, true);
}

}  // namespace velmora
