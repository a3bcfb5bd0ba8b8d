#include "platform/sim/dock_tree.h"

#include <algorithm>
#include <utility>

namespace velmora::sim {

namespace {

// A file URL as the Dock answers "AXURL" for a bundle: percent-encoded, with the trailing
// slash of a folder.
std::string fileURL(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (unsigned char c : path) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '/' || c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 0xF];
    }
  }
  if (url.back() != '/') url += '/';
  return url;
}

bool isSeparator(const SimAXNodePtr& node) {
  if (!node) return false;
  auto sub = node->attributes.find("AXSubrole");
  return sub != node->attributes.end() && sub->second == Value("AXSeparatorDockItem");
}

}  // namespace

DockTree::DockTree(Machine& machine, std::function<void(pid_t)> activate)
    : machine_(machine), activate_(std::move(activate)) {}

void DockTree::build(pid_t dockPID) {
  AXTree& ax = machine_.ax();
  dockPID_ = dockPID;
  std::map<pid_t, Value> badges;
  ax.edit([&] {
    for (const auto& [pid, item] : items_) badges[pid] = item->attributes["AXStatusLabel"];
  });
  items_.clear();
  SimAXNodePtr dock = ax.addApplication(dockPID, "Dock");
  auto list = SimAXNode::make(dockPID, "AXList");
  list->attributes.emplace("AXRoleDescription", Value("list"));
  auto separator = SimAXNode::make(dockPID, "AXDockItem", "AXSeparatorDockItem");
  auto trash = SimAXNode::make(dockPID, "AXDockItem", "AXTrashDockItem");
  trash->attributes.emplace("AXTitle", Value("Trash"));
  trash->attributes.emplace("AXURL", Value(fileURL((machine_.home().root / ".Trash").string())));
  trash->attributes.emplace("AXStatusLabel", Value());
  ax.edit([&] {
    list->append(separator);
    list->append(trash);
    dock->append(list);
  });
  list_ = list;
  for (const auto& app : machine_.apps) {
    if (!app.terminated && app.policy == platform::ActivationPolicy::Regular) addItem(app);
  }
  ax.edit([&] {
    for (const auto& [pid, badge] : badges) {
      auto item = items_.find(pid);
      if (item != items_.end()) item->second->attributes.insert_or_assign("AXStatusLabel", badge);
    }
  });
}

void DockTree::applicationLaunched(const SimApp& app) {
  if (list_ && !app.terminated && app.policy == platform::ActivationPolicy::Regular) addItem(app);
}

void DockTree::addItem(const SimApp& app) {
  auto item = SimAXNode::make(dockPID_, "AXDockItem", "AXApplicationDockItem");
  item->attributes.emplace("AXRoleDescription", Value("application dock item"));
  item->attributes.emplace("AXTitle", Value(app.name.value_or("")));
  if (app.bundlePath) item->attributes.emplace("AXURL", Value(fileURL(*app.bundlePath)));
  item->attributes.emplace("AXIsApplicationRunning", Value(true));
  item->attributes.emplace("AXStatusLabel", Value());
  pid_t pid = app.pid;
  item->actions.emplace("AXPress", lifetime_.guard([this, pid] { activate_(pid); }));
  item->actions.emplace("AXShowMenu", [] {});
  machine_.ax().edit([&] {
    // Running applications line up before the separator.
    auto& items = list_->children;
    auto separator = std::find_if(items.begin(), items.end(), isSeparator);
    list_->insert(static_cast<std::size_t>(separator - items.begin()), item);
  });
  items_[pid] = std::move(item);
}

void DockTree::applicationQuit(pid_t pid) {
  auto item = items_.find(pid);
  if (item == items_.end()) return;
  machine_.ax().edit([&] { list_->remove(item->second.get()); });
  items_.erase(item);
}

bool DockTree::setBadge(pid_t pid, std::optional<std::string> text) {
  auto item = items_.find(pid);
  if (item == items_.end()) return false;
  machine_.ax().edit([&] {
    item->second->attributes.insert_or_assign("AXStatusLabel", text ? Value(*text) : Value());
  });
  return true;
}

void DockTree::relaunched(pid_t oldPID, pid_t newPID) {
  dockPID_ = newPID;
  SimApp* old = machine_.findApp(oldPID);
  if (!old || old->terminated) return;  // not furnished yet: nothing shows the process
  SimApp fresh = *old;
  fresh.pid = newPID;
  old->terminated = true;
  machine_.ax().applicationQuit(oldPID);
  machine_.apps.push_back(std::move(fresh));
  for (auto& w : machine_.windows) {
    if (w.owner == oldPID) w.owner = newPID;
  }
  if (machine_.frontmost == oldPID) machine_.frontmost = newPID;
  machine_.menuBarMayMove();
  if (list_) build(newPID);
}

}  // namespace velmora::sim
