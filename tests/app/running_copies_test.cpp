#include "app/running_copies.h"

#include <gtest/gtest.h>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora {
namespace {

struct RunningCopies : ::testing::Test {
  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  MemoryLog switches;

  bool running(platform::pid_t pid) {
    return mac.platform().workspace.runningApplication(pid).has_value();
  }
};

TEST_F(RunningCopies, OtherCopiesAreAskedToQuitAndForcedWhenTheyRefuse) {
  platform::pid_t polite = mac.startAnotherCopy("/Volumes/Velmora/Velmora.app");
  platform::pid_t stubborn = mac.startAnotherCopy();
  platform::pid_t other =
      mac.addApplication(sim::SimApp{0, "Mail", "com.apple.mail", "/System/Applications/Mail.app"});
  mac.refuseTermination(stubborn);

  EXPECT_EQ(retireOtherRunningCopies(mac.platform(), switches), 2);

  EXPECT_EQ(switches.lines, (std::vector<std::string>{
                                "retiring running copy pid " + std::to_string(polite) +
                                    " at /Volumes/Velmora/Velmora.app",
                                "retiring running copy pid " + std::to_string(stubborn) +
                                    " at /Applications/Velmora.app",
                            }));
  EXPECT_FALSE(running(stubborn));
  EXPECT_EQ(mac.callCount("NSRunningApplication.forceTerminate"), 1);
  // The polite copy quits once it has handled the request.
  EXPECT_TRUE(running(polite));
  loop.advance(0.0);
  EXPECT_FALSE(running(polite));

  EXPECT_TRUE(running(other));
  EXPECT_TRUE(running(sim::VirtualMac::kSelfPID));
  EXPECT_EQ(mac.terminateRequests(), 0);
}

TEST_F(RunningCopies, AloneThereIsNothingToDo) {
  mac.addApplication(sim::SimApp{0, "Mail", "com.apple.mail", "/System/Applications/Mail.app"});
  EXPECT_EQ(retireOtherRunningCopies(mac.platform(), switches), 0);
  EXPECT_TRUE(switches.lines.empty());
  EXPECT_EQ(mac.callCount("NSRunningApplication.terminate"), 0);
  EXPECT_TRUE(running(sim::VirtualMac::kSelfPID));
}

}  // namespace
}  // namespace velmora
