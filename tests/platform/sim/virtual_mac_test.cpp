// The virtual Mac's own parts: its lifetime, the drawing services it is given or makes, and
// hot keys another application holds.
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

}  // namespace
}  // namespace velmora::sim
