#include "app/launch_at_login.h"

#include <gtest/gtest.h>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora {
namespace {

struct LaunchAtLoginTest : ::testing::Test {
  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  Signal settingsChanged;
  int announced = 0;
  Connection c = settingsChanged.connect([this] { ++announced; });
  LaunchAtLogin login{mac.platform().loginItems, settingsChanged};
};

TEST_F(LaunchAtLoginTest, OnlyAnEnabledLoginItemReadsAsOn) {
  EXPECT_FALSE(login.enabled());
  mac.setLoginItemStatus(platform::kLoginItemRequiresApproval);
  EXPECT_FALSE(login.enabled());
  mac.setLoginItemStatus(platform::kLoginItemEnabled);
  EXPECT_TRUE(login.enabled());
  mac.setLoginItemStatus(platform::kLoginItemNotFound);
  EXPECT_FALSE(login.enabled());
}

TEST_F(LaunchAtLoginTest, ChangesRegisterWithTheSystemAndAreAnnounced) {
  EXPECT_TRUE(login.setEnabled(true).ok());
  EXPECT_TRUE(login.enabled());
  EXPECT_EQ(announced, 1);
  EXPECT_TRUE(login.setEnabled(false).ok());
  EXPECT_FALSE(login.enabled());
  EXPECT_EQ(announced, 2);
  EXPECT_EQ(mac.callCount("SMAppService.register"), 1);
  EXPECT_EQ(mac.callCount("SMAppService.unregister"), 1);
}

TEST_F(LaunchAtLoginTest, ARefusalComesBackUnannounced) {
  mac.failLoginItemChanges("Operation not permitted");
  EXPECT_EQ(login.setEnabled(true).error(), "Operation not permitted");
  EXPECT_FALSE(login.enabled());
  EXPECT_EQ(announced, 0);
}

}  // namespace
}  // namespace velmora
