// The virtual Mac's popovers: hung below their anchor on the anchor's screen, and closed by a
// click anywhere else — the desktop, another of Velmora's panels, another application — with
// the close heard on the next turn of the loop.
#include "platform/sim/virtual_popovers.h"

#include "two_displays.h"

namespace velmora::sim::testing {
namespace {

class Popovers : public TwoDisplays {
 protected:
  Popovers() {
    popover = mac.popovers().makePopover({{300, 200}, true, true, true, "menu popover"});
    popover->setOnDidClose([this] { closes.push_back(loop.now()); });
  }
  const VirtualPopover& shown() { return *mac.popovers().all().front(); }
  std::unique_ptr<platform::Popover> popover;
  std::vector<double> closes;
};

TEST_F(Popovers, HangBelowTheAnchorAndSlideToStayOnItsScreen) {
  // Under a tile near the right edge of A: slid left to end at the screen's edge.
  popover->show({ScreenRect::make(1480, 958, 24, 24), nullptr});
  EXPECT_EQ(popover->frame(), ScreenRect::make(1212, 748, 300, 200));
  // Under a label in the middle of B's menu bar: centred below it, on B.
  popover->show({ScreenRect::make(2700, 950, 100, 24), nullptr});
  EXPECT_EQ(popover->frame(), ScreenRect::make(2600, 740, 300, 200));
  EXPECT_EQ(mac.panels().named("menu popover")->frame(), popover->frame());
  // A new size keeps it hanging from the same place.
  popover->setContentSize({300, 400});
  EXPECT_EQ(popover->frame(), ScreenRect::make(2600, 540, 300, 400));
}

TEST_F(Popovers, AClickElsewhereClosesItAnimatedAndItsOwnCloseIsHeardNextTurn) {
  popover->show({ScreenRect::make(700, 958, 24, 24), nullptr});
  ASSERT_TRUE(popover->isShown());
  // A click inside keeps it.
  mac.click({650, 900});
  loop.runPending();
  EXPECT_TRUE(popover->isShown());
  // On the desktop: closed, animated, heard once on the next turn.
  mac.click({100, 100});
  loop.runPending();
  EXPECT_FALSE(popover->isShown());
  EXPECT_TRUE(shown().lastCloseAnimated());
  EXPECT_EQ(closes.size(), 1u);
  EXPECT_EQ(popover->frame(), ScreenRect{});

  // Another application coming forward closes it too; closing without animation is noted.
  popover->show({ScreenRect::make(700, 958, 24, 24), nullptr});
  mac.userActivate(notes);
  loop.runPending();
  EXPECT_FALSE(popover->isShown());
  popover->show({ScreenRect::make(700, 958, 24, 24), nullptr});
  popover->close(false);
  EXPECT_FALSE(popover->isShown());
  EXPECT_FALSE(shown().lastCloseAnimated());
  EXPECT_EQ(closes.size(), 2u);  // the last close is heard on the next turn
  loop.runPending();
  EXPECT_EQ(closes.size(), 3u);
}

}  // namespace
}  // namespace velmora::sim::testing
