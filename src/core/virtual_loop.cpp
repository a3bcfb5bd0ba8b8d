#include "core/virtual_loop.h"

namespace velmora {

void VirtualLoop::runDueUntil(double target) {
  for (;;) {
    drainInbox();
    double due;
    if (!nextDue(due) || due > target) break;
    if (due > now_) now_ = due;
    runNext();
  }
}

void VirtualLoop::advance(double seconds) {
  double target = now_ + (seconds > 0 ? seconds : 0);
  runDueUntil(target);
  now_ = target;
}

void VirtualLoop::runPending() {
  runDueUntil(now_);
}

}  // namespace velmora
