#pragma once
// What the rest of the machine sees of the Dock process: its application record, its window
// and its accessibility tree — the icon list with an item per running regular application,
// then the separator and the Trash — with the badges applications show on their icons. When
// the Dock restarts, all of it moves to the new process; badges survive, as applications set
// them again.

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "core/main_loop.h"
#include "platform/sim/ax_tree.h"
#include "platform/sim/machine.h"

namespace velmora::sim {

class DockTree {
 public:
  // A press on an application's icon (AXPress) calls `activate` with its pid on the loop.
  DockTree(Machine& machine, std::function<void(pid_t)> activate);
  DockTree(const DockTree&) = delete;
  DockTree& operator=(const DockTree&) = delete;

  // Makes the icon list under the Dock process `dockPID`, with an item for every running
  // regular application; badges already shown stay.
  void build(pid_t dockPID);
  bool built() const { return list_ != nullptr; }
  // An application started: a regular one gets an item, once the list is built.
  void applicationLaunched(const SimApp& app);
  // An application quit: its item leaves the list.
  void applicationQuit(pid_t pid);
  // The Dock shows this badge on the application's icon ("AXStatusLabel"); none removes it.
  // False when the application has no item.
  bool setBadge(pid_t pid, std::optional<std::string> text);
  // The Dock process `oldPID` ended and came back as `newPID`: its application record,
  // windows and element tree move there. Nothing happens before the Dock has a record.
  void relaunched(pid_t oldPID, pid_t newPID);

 private:
  void addItem(const SimApp& app);

  Machine& machine_;
  std::function<void(pid_t)> activate_;
  pid_t dockPID_ = kDockPID;
  SimAXNodePtr list_;                    // the icon list, once built
  std::map<pid_t, SimAXNodePtr> items_;  // application items of the icon list
  Lifetime lifetime_;
};

}  // namespace velmora::sim
