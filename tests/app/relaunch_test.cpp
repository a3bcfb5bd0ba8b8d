// Other copies of Velmora retired at launch, and the relaunch that starts the next copy.
#include "app/relaunch.h"

#include <gtest/gtest.h>

#include "app/running_copies.h"
#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora {
namespace {

// The script waits for this process, looking every 0.1 s, then opens the bundle (its path
// quoted for the shell); the quit request is heard on the next turn.
TEST(Relaunch, WaitsForThisProcessThenOpensTheBundle) {
  VirtualLoop loop;
  sim::VirtualMac mac(loop);
  MemoryLog switches;
  std::vector<std::string> opened;
  mac.setOnOpenApplication([&](const std::string& path) { opened.push_back(path); });
  std::vector<double> quitRequests;
  mac.setOnQuitRequest(sim::VirtualMac::kSelfPID, [&] { quitRequests.push_back(loop.now()); });

  EXPECT_TRUE(relaunch(mac.platform(), "/Volumes/My \"Best\" Apps/Velmora.app", switches));

  ASSERT_EQ(mac.processStarts().size(), 1u);
  EXPECT_EQ(mac.processStarts()[0],
            (sim::SimProcessRun{"/bin/sh",
                                {"-c",
                                 "while kill -0 500 2>/dev/null; do sleep 0.1; done; "
                                 "/usr/bin/open \"/Volumes/My \\\"Best\\\" Apps/Velmora.app\""}}));
  EXPECT_EQ(mac.terminateRequests(), 1);
  EXPECT_TRUE(switches.lines.empty());
  EXPECT_TRUE(quitRequests.empty());
  loop.advance(1);
  EXPECT_EQ(quitRequests, std::vector<double>{0});
  EXPECT_TRUE(opened.empty()) << "this copy did not end, so the script keeps waiting";

  loop.after(0.25, [&] { mac.quitApplication(sim::VirtualMac::kSelfPID); });
  loop.advance(0.29);
  EXPECT_TRUE(opened.empty()) << "ended at 1.25, not looked for since 1.2";
  loop.advance(0.03);
  EXPECT_EQ(opened, std::vector<std::string>{"/Volumes/My \"Best\" Apps/Velmora.app"});
  loop.advance(5);
  EXPECT_EQ(opened.size(), 1u);
}

TEST(Relaunch, AShellThatDoesNotStartKeepsVelmoraRunning) {
  VirtualLoop loop;
  sim::VirtualMac mac(loop);
  MemoryLog switches;
  mac.failLaunch("/bin/sh", "The operation couldn’t be completed. Permission denied");

  EXPECT_FALSE(relaunch(mac.platform(), "/Applications/Velmora.app", switches));

  EXPECT_EQ(mac.terminateRequests(), 0);
  EXPECT_EQ(switches.lines,
            (std::vector<std::string>{"relaunch failed: The operation couldn’t be completed. "
                                      "Permission denied"}));
}

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
