// The virtual Mac's own parts: its lifetime, the drawing services it is given or makes, hot
// keys another application holds or another copy of Velmora registers, and the notifications
// it delivers. The relaunch script is tests/app/relaunch_test.cpp.
#include "platform/sim/virtual_mac.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/virtual_loop.h"
#include "platform/linux/host_services.h"
#include "platform/sim/plain_host.h"
#include "platform/sim/virtual_hotkeys.h"

namespace velmora::sim {
namespace {

TEST(VirtualMacLifetime, NothingIsDeliveredAfterTheMacIsGone) {
  VirtualLoop loop;
  auto mac = std::make_unique<VirtualMac>(loop);
  mac->addDisplay("A", ScreenRect::make(0, 0, 1512, 982));
  std::uint64_t second = mac->addSpace("A");
  int calls = 0;
  ObserverToken token = mac->workspace().observeActiveSpaceChanged([&] { ++calls; });
  mac->userSwitchTo(second);
  mac.reset();
  loop.runPending();
  EXPECT_EQ(calls, 0);
}

TEST(VirtualMacHost, DrawsWithTheServicesItIsGivenAndWithPlainOnesOtherwise) {
  VirtualLoop loop;
  const platform::Font font = platform::Font::system(13);
  VirtualMac plain(loop);
  EXPECT_EQ(plain.platform().canvases.makeCanvas({10, 10}, 2)->measureText("Desktop", font).width,
            45.5);

  linuxhost::DrawingHost host;
  VirtualMac drawing(loop, host.services());
  platform::Platform seams = drawing.platform();
  EXPECT_EQ(&seams.canvases, &host.services().canvases);
  EXPECT_EQ(&seams.symbols, &host.services().symbols);
  EXPECT_EQ(&seams.images, &host.services().images);
  EXPECT_EQ(&seams.propertyLists, &host.services().propertyLists);
}

TEST(PlainHost, TextMeasuresByCodePointAndIsCutBetweenWholeOnes) {
  PlainCanvasFactory factory;
  auto canvas = factory.makeCanvas({100, 20}, 2);
  ASSERT_TRUE(canvas);
  const platform::Font font = platform::Font::system(10);
  EXPECT_EQ(canvas->measureText("Café", font), (Size{20, 12}));  // four code points, five bytes
  EXPECT_EQ(canvas->truncateTail("Café", font, 20), "Café");
  EXPECT_EQ(canvas->truncateTail("Cafés", font, 20), "Caf…");
  EXPECT_EQ(canvas->truncateTail("éééé", font, 16), "éé…") << "never half a code point";
  EXPECT_EQ(canvas->truncateTail("Desk", font, 3), "…");
  EXPECT_EQ(canvas->bitmap().rgba.size(), 200u * 40u * 4u);
  EXPECT_FALSE(factory.makeCanvas({0, 20}, 2));
}

TEST(PlainHost, SymbolsAreBlankSquaresForTheNamesTheDrawingHostKnows) {
  PlainSymbols symbols;
  auto house = symbols.symbol("house.fill", 16, platform::FontWeight::bold, {});
  ASSERT_TRUE(house);
  EXPECT_EQ(house->size(), (Size{16, 16}));
  EXPECT_FALSE(symbols.symbol("no.such.symbol", 16, platform::FontWeight::regular, {}));
  EXPECT_FALSE(symbols.symbol("house.fill", 0, platform::FontWeight::regular, {}));
}

constexpr std::uint32_t kControlOption = platform::kControlKey | platform::kOptionKey;

TEST(VirtualHotKeys, ACombinationAnotherApplicationHoldsIsRefusedUntilItLetsGo) {
  VirtualHotKeys keys;
  std::vector<std::uint32_t> heard;
  keys.installHotKeyHandler([&](platform::HotKeyID id) { heard.push_back(id.id); });
  keys.holdByAnotherApplication(19, kControlOption);
  EXPECT_EQ(keys.registerHotKey(19, kControlOption, {1, 1}).status,
            platform::kEventHotKeyExistsErr);
  EXPECT_EQ(keys.registerHotKey(19, platform::kControlKey, {1, 2}).status, platform::kHotKeyNoErr)
      << "the same key with other modifiers is free";
  EXPECT_FALSE(keys.dispatch(19, kControlOption));

  keys.releaseByAnotherApplication(19, kControlOption);
  platform::HotKeyRegistration again = keys.registerHotKey(19, kControlOption, {1, 3});
  EXPECT_EQ(again.status, platform::kHotKeyNoErr);
  EXPECT_TRUE(again.ref);
  EXPECT_TRUE(keys.dispatch(19, kControlOption));
  EXPECT_EQ(heard, std::vector<std::uint32_t>{3});
  EXPECT_EQ(keys.registrationCount(), 2);
}

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
