// The pointer on the virtual Mac: it never leaves the displays, and Velmora's pointer monitors
// hear it — the global ones while it is over other applications, the local ones while it is
// over Velmora's own panels — each for the event types it asked for, on the next loop turn.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/pointer_monitors.h"
#include "platform/sim/virtual_mac.h"
#include "two_displays.h"

namespace velmora::sim {
namespace {

class Pointer : public testing::TwoDisplays {
 protected:
  // Each event heard, as "global moved 10,20".
  std::vector<std::string> heard;
  platform::PointerMonitorID watch(bool local, std::uint64_t mask) {
    auto handler = [this, local](const platform::PointerEvent& e) {
      const char* type = e.type == platform::kNSEventTypeMouseMoved         ? "moved"
                         : e.type == platform::kNSEventTypeLeftMouseDragged ? "dragged"
                         : e.type == platform::kNSEventTypeLeftMouseDown    ? "left down"
                         : e.type == platform::kNSEventTypeRightMouseDown   ? "right down"
                                                                            : "other";
      char at[64];
      std::snprintf(at, sizeof at, " %g,%g", e.location.x, e.location.y);
      heard.push_back(std::string(local ? "local " : "global ") + type + at);
    };
    platform::PointerMonitors& monitors = mac.platform().pointer;
    return local ? monitors.addLocalMonitor(mask, handler)
                 : monitors.addGlobalMonitor(mask, handler);
  }
};

TEST_F(Pointer, StaysOnTheDisplaysWhereverItIsSent) {
  struct Case {
    ScreenPoint to;
    ScreenPoint lands;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Case> cases{
      {{700, 500}, {700, 500}},      // on A
      {{700, 5000}, {700, 981}},     // above A: its top row
      {{-50, -50}, {0, 0}},          // below-left of A
      {{1600, -400}, {1600, -400}},  // on B, below A's bottom
      {{1e12, 1e12}, {4071, 981}},   // far off: B's top-right corner
      {{-inf, 300}, {0, 300}},       // infinitely far left
  };
  for (const Case& c : cases) {
    mac.movePointer(c.to);
    EXPECT_EQ(mac.pointer(), c.lands) << c.to.x << ", " << c.to.y;
  }
  mac.movePointer({std::nan(""), std::nan("")});
  EXPECT_FALSE(std::isnan(mac.pointer().x));

  // To the top edge of a display, by UUID, at an x from its left edge.
  EXPECT_TRUE(mac.movePointerToTopEdge("B", 100));
  EXPECT_EQ(mac.pointer(), (ScreenPoint{1612, 981}));
  EXPECT_TRUE(mac.movePointerToTopEdge());
  EXPECT_EQ(mac.pointer(), (ScreenPoint{756, 981}));
  EXPECT_FALSE(mac.movePointerToTopEdge("C"));

  // B goes away with the pointer on it: the pointer is on A at once.
  mac.movePointer({3000, 200});
  mac.userDetachDisplay("B");
  EXPECT_EQ(mac.pointer(), (ScreenPoint{1511, 200}));
}

TEST_F(Pointer, GlobalMonitorsHearOtherApplicationsAndLocalOnesVelmorasPanels) {
  platform::PanelConfig config;
  config.name = "mine";
  config.size = {200, 100};
  config.interactive = true;
  auto panel = mac.panels().makePanel(config);
  panel->setFrame(ScreenRect::make(100, 100, 200, 100), false);
  panel->orderFrontRegardless();

  const platform::PointerMonitorID global =
      watch(false, platform::kNSEventMaskMouseMoved | platform::kNSEventMaskLeftMouseDragged |
                       platform::kNSEventMaskRightMouseDown);
  watch(true, platform::kNSEventMaskMouseMoved | platform::kNSEventMaskLeftMouseDown);

  mac.movePointer({500, 500});
  EXPECT_TRUE(heard.empty());  // not before the next loop turn
  loop.runPending();
  mac.movePointer({150, 150});  // over the panel
  mac.click({150, 150});        // the local monitor asked for left-downs
  mac.click({600, 600});        // the global one did not
  mac.drag({600, 600}, {650, 5000});
  mac.rightClick({700, 700});
  mac.rightClick({160, 160});  // over the panel: no local monitor asked for right-downs
  loop.runPending();
  EXPECT_EQ(heard, (std::vector<std::string>{"global moved 500,500", "local moved 150,150",
                                             "local left down 150,150", "global dragged 650,981",
                                             "global right down 700,700"}));

  // A removed monitor hears nothing more, even of an event already on its way.
  heard.clear();
  mac.movePointer({800, 800});
  mac.platform().pointer.removeMonitor(global);
  loop.runPending();
  EXPECT_TRUE(heard.empty());
  EXPECT_EQ(mac.pointerMonitors().globalCount(), 0);
  EXPECT_EQ(mac.pointerMonitors().localCount(), 1);
  EXPECT_EQ(mac.platform().pointer.location(), (ScreenPoint{800, 800}));
}

}  // namespace
}  // namespace velmora::sim
