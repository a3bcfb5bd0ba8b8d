#include "app/relaunch.h"

#include <gtest/gtest.h>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora {
namespace {

TEST(Relaunch, WaitsForThisProcessThenOpensTheBundle) {
  VirtualLoop loop;
  sim::VirtualMac mac(loop);
  MemoryLog switches;

  EXPECT_TRUE(relaunch(mac.platform(), "/Volumes/My \"Best\" Apps/Velmora.app", switches));

  ASSERT_EQ(mac.processStarts().size(), 1u);
  EXPECT_EQ(mac.processStarts()[0],
            (sim::SimProcessRun{"/bin/sh",
                                {"-c",
                                 "while kill -0 500 2>/dev/null; do sleep 0.1; done; "
                                 "/usr/bin/open \"/Volumes/My \\\"Best\\\" Apps/Velmora.app\""}}));
  EXPECT_EQ(mac.terminateRequests(), 1);
  EXPECT_TRUE(switches.lines.empty());
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

}  // namespace
}  // namespace velmora
