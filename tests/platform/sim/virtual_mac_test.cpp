#include "platform/sim/virtual_mac.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/virtual_loop.h"
#include "platform/linux/host_services.h"

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

}  // namespace
}  // namespace velmora::sim
