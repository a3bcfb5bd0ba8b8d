#pragma once
// A virtual Mac with two displays, the Dock and the Accessibility grant, and Mission
// Control's element tree built by hand under the process that draws it.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/line_log.h"
#include "core/virtual_loop.h"
#include "golden.h"
#include "mission_control/dock_access.h"
#include "mission_control/mission_control_detector.h"
#include "platform/sim/virtual_mac.h"

namespace velmora::testing {

using sim::SimAXNode;
using sim::SimAXNodePtr;

inline Value axPoint(double x, double y) {
  return Value::dictionary({{"X", x}, {"Y", y}});
}
inline Value axSize(double w, double h) {
  return Value::dictionary({{"Width", w}, {"Height", h}});
}

inline SimAXNodePtr axNode(platform::pid_t pid, const char* role, const char* identifier) {
  auto node = SimAXNode::make(pid, role);
  if (identifier) node->attributes["AXIdentifier"] = identifier;
  return node;
}

// One display's bar: its display number, where the bar is, and its desktops' descriptions.
struct BarShape {
  std::uint32_t displayID = 0;
  double x = 0;
  std::vector<std::string> desktops;
};

struct McWorld {
  explicit McWorld(int version = 26) : host(MissionControlHost::forVersion(version)) {
    mac.addDisplay("Main", ScreenRect::make(0, 0, 1512, 982));
    mac.addDisplay("Side", ScreenRect::make(1512, 0, 1920, 1080));
    mac.addSystemFurniture();
    mac.setAccessibilityTrusted(true);
    // The Dock's wallpaper windows, one per display, are there at all times.
    mac.addWindow(dockPID(), {}, AXRect::make(0, 0, 1512, 982), 10);
    mac.addWindow(dockPID(), {}, AXRect::make(1512, 0, 1920, 1080), 10);
  }

  platform::pid_t dockPID() { return mac.dock().pid(); }

  // Mission Control as the Dock shows it: its own window and the tree of its bars.
  void openMissionControl(const std::vector<BarShape>& bars) {
    mcWindow = mac.addWindow(dockPID(), {}, AXRect::make(0, 0, 1512, 982), host.windowLayer);
    buildTree(dockPID(), bars);
  }
  void closeMissionControl() {
    if (mcWindow) mac.userCloseWindow(*mcWindow);
    mcWindow.reset();
    // Its elements go with it: held handles answer as destroyed from now on.
    mac.editAccessibilityTree(dockPID(), [](SimAXNode& root) {
      for (const auto& child : root.children) {
        auto id = child->attributes.find("AXIdentifier");
        if (id != child->attributes.end() && id->second == Value("mc")) {
          root.remove(child.get());
          return;
        }
      }
    });
  }
  void buildTree(platform::pid_t pid, const std::vector<BarShape>& bars) {
    mac.editAccessibilityTree(pid, [&](SimAXNode& root) {
      auto mc = axNode(pid, "AXGroup", "mc");
      for (const auto& bar : bars) {
        auto display = axNode(pid, "AXGroup", "mc.display");
        display->attributes["AXDisplayID"] = bar.displayID;
        auto spaces = axNode(pid, "AXGroup", "mc.spaces");
        auto list = axNode(pid, "AXList", "mc.spaces.list");
        list->attributes["AXPosition"] = axPoint(bar.x, 0);
        list->attributes["AXSize"] = axSize(1500, 130);
        double x = bar.x + 10;
        for (const auto& desktop : bar.desktops) {
          auto button = axNode(pid, "AXButton", nullptr);
          button->attributes["AXDescription"] = desktop;
          button->attributes["AXPosition"] = axPoint(x, 8);
          button->attributes["AXSize"] = axSize(160, 100);
          button->actions["AXPress"] = [this, desktop] { pressed.push_back(desktop); };
          list->append(button);
          x += 170;
        }
        list->append(axNode(pid, "AXGroup", "mc.spaces.add"));  // the "+" is no desktop
        spaces->append(list);
        display->append(spaces);
        mc->append(display);
      }
      root.append(mc);
    });
  }
  int windowListReads() const { return mac.callCount("CGWindowListCopyWindowInfo"); }

  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  MemoryLog log;
  MissionControlHost host;
  DockAccess dock{mac.platform(), host, log,
                  [this] { return mac.accessibility().isProcessTrusted(); }};
  std::optional<std::int64_t> mcWindow;
  std::vector<std::string> pressed;  // the thumbnails pressed, as they react
};

// What rows() found, one row a line: display, bar and each item's description and frame.
inline std::string describeRows(const std::vector<DockAccess::Row>& rows) {
  auto rect = [&](const AXRect& r) {
    return num(r.minX()) + "," + num(r.minY()) + " " + num(r.size.width) + "x" + num(r.size.height);
  };
  std::string out;
  for (const auto& row : rows) {
    out += "display " + std::to_string(row.displayID) + " bar " +
           (row.bar ? rect(*row.bar) : std::string("none")) + ":";
    for (const auto& item : row.items) {
      out += " [" + item.description + " #" +
             (item.number() ? std::to_string(*item.number()) : std::string("-")) + " " +
             rect(item.frame) + "]";
    }
    out += "\n";
  }
  return out.empty() ? "(none)\n" : out;
}

}  // namespace velmora::testing
