// Copies of Velmora as processes of the virtual Mac: hot keys kept per process, and the
// notifications the machine delivers. The relaunch script is tests/app/relaunch_test.cpp.
#include <gtest/gtest.h>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora::sim {
namespace {

constexpr std::uint32_t kControlOption = platform::kControlKey | platform::kOptionKey;

struct Copies : ::testing::Test {
  VirtualLoop loop;
  VirtualMac mac{loop};
};

TEST_F(Copies, ANewCopyIsANewProcessWithItsOwnHotKeys) {
  platform::Platform first = mac.platform();
  std::vector<std::string> heard;
  first.hotKeys.installHotKeyHandler(
      [&](platform::HotKeyID id) { heard.push_back("first " + std::to_string(id.id)); });
  ASSERT_EQ(first.hotKeys.registerHotKey(19, kControlOption, {1, 1}).status,
            platform::kHotKeyNoErr);

  pid_t pid = mac.startNewCopy("/Applications/Velmora 2.app");
  EXPECT_NE(pid, VirtualMac::kSelfPID);
  EXPECT_EQ(mac.selfPID(), pid);
  platform::Platform second = mac.platform();
  EXPECT_EQ(second.workspace.currentProcessID(), pid);
  EXPECT_EQ(second.bundle.bundlePath(), "/Applications/Velmora 2.app");
  second.hotKeys.installHotKeyHandler(
      [&](platform::HotKeyID id) { heard.push_back("second " + std::to_string(id.id)); });
  EXPECT_EQ(second.hotKeys.registerHotKey(19, kControlOption, {1, 2}).status,
            platform::kHotKeyNoErr)
      << "another process's ordinary registration does not refuse it";
  EXPECT_EQ(second.hotKeys.unregisterHotKey(1), platform::kEventHotKeyInvalidErr)
      << "a process cannot take away another's hot key";

  // The old copy goes: letting go of its handler leaves the new copy's in place.
  first.hotKeys.installHotKeyHandler(nullptr);
  EXPECT_EQ(first.hotKeys.unregisterHotKey(1), platform::kHotKeyNoErr);
  mac.quitApplication(VirtualMac::kSelfPID);
  mac.keyboard().userPress(19, platform::kEventFlagControl | platform::kEventFlagOption);
  loop.runPending();
  EXPECT_EQ(heard, std::vector<std::string>{"second 2"});
  ASSERT_EQ(mac.hotKeys().registered().size(), 1u);
  EXPECT_EQ(mac.hotKeys().registered()[0].process, pid);
}

TEST_F(Copies, TheMachineReportsTheNotificationsItDelivers) {
  mac.addDisplay("Main", ScreenRect::make(0, 0, 1512, 982));
  mac.addSystemFurniture();
  mac.setAccessibilityTrusted(true);
  std::vector<std::string> delivered;
  mac.setOnNotificationDelivered([&](const SimNotification& n) {
    delivered.push_back(
        (n.source == SimNotification::Source::workspace ? "workspace " : "accessibility ") +
        n.name + (n.pid ? " " + std::to_string(n.pid) : ""));
  });
  auto observer = mac.accessibility().createObserver(
      VirtualMac::kDockPID, [](const platform::AXElementRef&, const std::string&) {});
  auto dock = mac.accessibility().applicationElement(VirtualMac::kDockPID);
  ASSERT_EQ(observer.observer->addNotification(dock, "AXTitleChanged"), platform::kAXErrorSuccess);

  mac.userAddDesktop("Main");
  mac.userSwitchTo(mac.displays()[0].spaces[1].id);
  SimAXNodePtr root = mac.accessibilityNode(dock);
  mac.postAccessibilityNotification(root, "AXTitleChanged");
  mac.postAccessibilityNotification(root, "AXUIElementDestroyed");  // nobody observes it
  EXPECT_TRUE(delivered.empty()) << "delivered on the next turn";
  loop.runPending();
  EXPECT_EQ(delivered, (std::vector<std::string>{"workspace " + std::string(kActiveSpaceDidChange),
                                                 "accessibility AXTitleChanged 400"}));

  mac.setOnNotificationDelivered(nullptr);
  mac.postAccessibilityNotification(root, "AXTitleChanged");
  loop.runPending();
  EXPECT_EQ(delivered.size(), 2u);
}

}  // namespace
}  // namespace velmora::sim
