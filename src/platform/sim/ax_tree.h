#pragma once
// The virtual Mac's accessibility trees: one element tree per application, read through the
// AX seam. The Dock's tree (its icon list, built by DockTree) lives here, and so will
// Mission Control's.
//
// The real accessibility API may be called from any thread, and the Dock-badge read does so
// from a worker; every node therefore lives behind the tree's lock. Notifications and the
// effects of actions are delivered on the main loop.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/main_loop.h"
#include "core/value.h"
#include "platform/accessibility.h"

namespace velmora::sim {

using pid_t = std::int32_t;

struct SimAXNode;
using SimAXNodePtr = std::shared_ptr<SimAXNode>;

// One element of an application's tree. Change nodes only inside AXTree::edit (or the
// virtual Mac's own calls, which take the lock).
struct SimAXNode : std::enable_shared_from_this<SimAXNode> {
  pid_t pid = 0;
  // Data attributes as the element answers them ("AXRole", "AXSubrole", "AXTitle", …). A null
  // entry is an attribute the element has without a value just now (kAXErrorNoValue).
  Value::Dictionary attributes;
  // Answered as "AXChildren", unless `attributes` holds an "AXChildren" entry of its own,
  // which then wins (a misshapen answer). A null child answers as a null handle.
  std::vector<SimAXNodePtr> children;
  // What each action does; run on the main loop after AXUIElementPerformAction returns.
  std::map<std::string, std::function<void()>, std::less<>> actions;
  // Attributes AXUIElementSetAttributeValue may change.
  std::set<std::string, std::less<>> settable;
  std::weak_ptr<SimAXNode> parent;
  bool destroyed = false;

  static SimAXNodePtr make(pid_t pid, std::string role, std::optional<std::string> subrole = {});
  // Adds the child at `index` (the end when past it) and makes this its parent.
  SimAXNode& insert(std::size_t index, SimAXNodePtr child);
  SimAXNode& append(SimAXNodePtr child) { return insert(children.size(), std::move(child)); }
  // Takes the child out of the tree; it and everything under it answer as destroyed.
  void remove(const SimAXNode* child);
  // The first child with this role, or nullptr.
  SimAXNode* firstChild(std::string_view role) const;
  std::string role() const;
};

// An element handle of the virtual Mac. An application element made by
// AXUIElementCreateApplication finds its process's root when used, like the real one.
struct SimAXElement final : platform::AXElement {
  SimAXElement(pid_t p, SimAXNodePtr n) : pid(p), node(std::move(n)) {}
  pid_t pid;
  SimAXNodePtr node;  // null: the application element
};

class AXTree : public std::enable_shared_from_this<AXTree> {
 public:
  explicit AXTree(MainLoop& loop) : loop_(loop) {}
  AXTree(const AXTree&) = delete;
  AXTree& operator=(const AXTree&) = delete;

  bool trusted() const { return trusted_.load(); }
  void setTrusted(bool trusted) { trusted_.store(trusted); }

  // The root of the application's tree (role "AXApplication"), made when missing.
  SimAXNodePtr addApplication(pid_t pid, const std::optional<std::string>& title);
  // The application quit: its whole tree answers as destroyed.
  void applicationQuit(pid_t pid);
  // Runs `fn` with the lock held; it must not call back into the tree.
  void edit(const std::function<void()>& fn);
  // While set, every message to the process's elements — attribute reads and writes, and
  // actions — answers this error (kAXErrorCannotComplete: the process does not answer in
  // time); none lets the process answer again.
  void failCalls(pid_t pid, std::optional<platform::AXError> error);
  // The error every message to the process answers just now, if any.
  std::optional<platform::AXError> callFailure(pid_t pid) const;
  // Observers of the notification on the node or one of its ancestors hear it on the next
  // turn of the loop.
  void post(const SimAXNodePtr& node, std::string notification);
  // Hears each notification that reaches at least one observer, with the process it is
  // about, on the loop as it is delivered. Null removes it.
  void setOnDelivered(std::function<void(pid_t pid, const std::string& notification)> fn) {
    onDelivered_ = std::move(fn);
  }
  // The node behind a handle (the root for an application element), or null.
  SimAXNodePtr nodeOf(const platform::AXElementRef& element);

  // ---- The seam calls ----
  platform::AXError setMessagingTimeout(const platform::AXElementRef& element, float seconds);
  platform::AXAttribute copyAttributeValue(const platform::AXElementRef& element,
                                           const std::string& attribute);
  platform::AXAttributes copyMultipleAttributeValues(const platform::AXElementRef& element,
                                                     const std::vector<std::string>& attributes,
                                                     bool stopOnError);
  platform::AXError setAttributeValue(const platform::AXElementRef& element,
                                      const std::string& attribute, const Value& value);
  platform::AXError performAction(const platform::AXElementRef& element, const std::string& action);
  platform::AXObserverResult createObserver(pid_t pid, platform::AXObserverCallback callback);

 private:
  class Observer;
  struct ObserverState {
    pid_t pid = 0;
    platform::AXObserverCallback callback;
    bool alive = true;
  };
  struct Registration {
    std::uint64_t observer = 0;
    std::weak_ptr<SimAXNode> node;
    std::string notification;
  };

  // With the lock held: the live node behind the handle, or the error to answer.
  platform::AXError resolveLocked(const platform::AXElementRef& element, SimAXNodePtr& node) const;
  platform::AXAttribute readLocked(const SimAXNodePtr& node, const std::string& attribute) const;
  std::optional<platform::AXError> failureLocked(pid_t pid) const;
  platform::AXError addNotification(std::uint64_t observer, const platform::AXElementRef& element,
                                    const std::string& notification);
  platform::AXError removeNotification(std::uint64_t observer,
                                       const platform::AXElementRef& element,
                                       const std::string& notification);
  void dropObserver(std::uint64_t observer);

  MainLoop& loop_;
  std::function<void(pid_t pid, const std::string& notification)> onDelivered_;
  std::atomic<bool> trusted_{false};
  mutable std::mutex mutex_;
  std::map<pid_t, SimAXNodePtr> roots_;
  std::map<pid_t, platform::AXError> callFailures_;
  std::map<std::uint64_t, std::shared_ptr<ObserverState>> observers_;
  std::vector<Registration> registrations_;
  std::uint64_t nextObserver_ = 1;
};

}  // namespace velmora::sim
