#include "platform/sim/ax_tree.h"

#include <algorithm>
#include <utility>

namespace velmora::sim {

using platform::AXError;

namespace {

void markDestroyed(SimAXNode& node) {
  node.destroyed = true;
  for (auto& child : node.children) {
    if (child) markDestroyed(*child);
  }
}

}  // namespace

// ---- Nodes ----

SimAXNodePtr SimAXNode::make(pid_t pid, std::string role, std::optional<std::string> subrole) {
  auto node = std::make_shared<SimAXNode>();
  node->pid = pid;
  node->attributes.emplace("AXRole", Value(std::move(role)));
  if (subrole) node->attributes.emplace("AXSubrole", Value(std::move(*subrole)));
  return node;
}

SimAXNode& SimAXNode::insert(std::size_t index, SimAXNodePtr child) {
  SimAXNode& added = *child;
  added.parent = weak_from_this();
  index = std::min(index, children.size());
  children.insert(children.begin() + static_cast<std::ptrdiff_t>(index), std::move(child));
  return added;
}

void SimAXNode::remove(const SimAXNode* child) {
  auto it = std::find_if(children.begin(), children.end(),
                         [&](const SimAXNodePtr& c) { return c.get() == child; });
  if (it == children.end()) return;
  if (*it) markDestroyed(**it);
  children.erase(it);
}

SimAXNode* SimAXNode::firstChild(std::string_view role) const {
  for (const auto& child : children) {
    if (child && child->role() == role) return child.get();
  }
  return nullptr;
}

std::string SimAXNode::role() const {
  auto it = attributes.find("AXRole");
  const std::string* s = it == attributes.end() ? nullptr : it->second.asString();
  return s ? *s : std::string();
}

// ---- The tree ----

SimAXNodePtr AXTree::addApplication(pid_t pid, const std::optional<std::string>& title) {
  std::lock_guard lock(mutex_);
  auto& root = roots_[pid];
  if (!root || root->destroyed) {
    root = SimAXNode::make(pid, "AXApplication");
    if (title) root->attributes.emplace("AXTitle", Value(*title));
  }
  return root;
}

void AXTree::applicationQuit(pid_t pid) {
  std::lock_guard lock(mutex_);
  auto it = roots_.find(pid);
  if (it == roots_.end()) return;
  markDestroyed(*it->second);
  roots_.erase(it);
}

void AXTree::edit(const std::function<void()>& fn) {
  std::lock_guard lock(mutex_);
  fn();
}

void AXTree::failCalls(pid_t pid, std::optional<AXError> error) {
  std::lock_guard lock(mutex_);
  if (error) {
    callFailures_[pid] = *error;
  } else {
    callFailures_.erase(pid);
  }
}

std::optional<AXError> AXTree::callFailure(pid_t pid) const {
  std::lock_guard lock(mutex_);
  return failureLocked(pid);
}

std::optional<AXError> AXTree::failureLocked(pid_t pid) const {
  auto failure = callFailures_.find(pid);
  if (failure == callFailures_.end()) return std::nullopt;
  return failure->second;
}

SimAXNodePtr AXTree::nodeOf(const platform::AXElementRef& element) {
  std::lock_guard lock(mutex_);
  SimAXNodePtr node;
  return resolveLocked(element, node) == platform::kAXErrorSuccess ? node : nullptr;
}

AXError AXTree::resolveLocked(const platform::AXElementRef& element, SimAXNodePtr& node) const {
  const auto* sim = dynamic_cast<const SimAXElement*>(element.get());
  if (!sim) return platform::kAXErrorIllegalArgument;
  if (sim->node) {
    if (sim->node->destroyed) return platform::kAXErrorInvalidUIElement;
    node = sim->node;
    return platform::kAXErrorSuccess;
  }
  // An application element for a process that is not (or no longer) there.
  auto it = roots_.find(sim->pid);
  if (it == roots_.end()) return platform::kAXErrorInvalidUIElement;
  node = it->second;
  return platform::kAXErrorSuccess;
}

platform::AXAttribute AXTree::readLocked(const SimAXNodePtr& node,
                                         const std::string& attribute) const {
  if (auto failure = failureLocked(node->pid)) return {*failure, {}};
  if (auto it = node->attributes.find(attribute); it != node->attributes.end()) {
    if (it->second.isNull()) return {platform::kAXErrorNoValue, {}};
    return {platform::kAXErrorSuccess, platform::AXValue(it->second)};
  }
  if (attribute == "AXChildren") {
    std::vector<platform::AXElementRef> children;
    children.reserve(node->children.size());
    for (const auto& child : node->children) {
      children.push_back(child ? std::make_shared<SimAXElement>(child->pid, child) : nullptr);
    }
    return {platform::kAXErrorSuccess, platform::AXValue(std::move(children))};
  }
  if (attribute == "AXParent") {
    SimAXNodePtr parent = node->parent.lock();
    if (!parent) return {platform::kAXErrorNoValue, {}};
    return {platform::kAXErrorSuccess, platform::AXValue(platform::AXElementRef(
                                           std::make_shared<SimAXElement>(parent->pid, parent)))};
  }
  return {platform::kAXErrorAttributeUnsupported, {}};
}

AXError AXTree::setMessagingTimeout(const platform::AXElementRef& element, float seconds) {
  if (!trusted()) return platform::kAXErrorAPIDisabled;
  if (!element || seconds < 0) return platform::kAXErrorIllegalArgument;
  return platform::kAXErrorSuccess;
}

platform::AXAttribute AXTree::copyAttributeValue(const platform::AXElementRef& element,
                                                 const std::string& attribute) {
  if (!trusted()) return {platform::kAXErrorAPIDisabled, {}};
  std::lock_guard lock(mutex_);
  SimAXNodePtr node;
  if (AXError error = resolveLocked(element, node); error != platform::kAXErrorSuccess) {
    return {error, {}};
  }
  return readLocked(node, attribute);
}

platform::AXAttributes AXTree::copyMultipleAttributeValues(
    const platform::AXElementRef& element, const std::vector<std::string>& attributes,
    bool stopOnError) {
  if (!trusted()) return {platform::kAXErrorAPIDisabled, {}};
  if (attributes.empty()) return {platform::kAXErrorIllegalArgument, {}};
  std::lock_guard lock(mutex_);
  SimAXNodePtr node;
  if (AXError error = resolveLocked(element, node); error != platform::kAXErrorSuccess) {
    return {error, {}};
  }
  platform::AXAttributes answer;
  for (const auto& attribute : attributes) {
    platform::AXAttribute value = readLocked(node, attribute);
    if (stopOnError && !value.ok()) return {value.error, {}};
    answer.values.push_back(std::move(value));
  }
  return answer;
}

AXError AXTree::setAttributeValue(const platform::AXElementRef& element,
                                  const std::string& attribute, const Value& value) {
  if (!trusted()) return platform::kAXErrorAPIDisabled;
  std::lock_guard lock(mutex_);
  SimAXNodePtr node;
  if (AXError error = resolveLocked(element, node); error != platform::kAXErrorSuccess) {
    return error;
  }
  if (auto failure = failureLocked(node->pid)) return *failure;
  if (!node->settable.contains(attribute)) return platform::kAXErrorAttributeUnsupported;
  node->attributes.insert_or_assign(attribute, value);
  return platform::kAXErrorSuccess;
}

AXError AXTree::performAction(const platform::AXElementRef& element, const std::string& action) {
  if (!trusted()) return platform::kAXErrorAPIDisabled;
  std::function<void()> effect;
  {
    std::lock_guard lock(mutex_);
    SimAXNodePtr node;
    if (AXError error = resolveLocked(element, node); error != platform::kAXErrorSuccess) {
      return error;
    }
    if (auto failure = failureLocked(node->pid)) return *failure;
    auto it = node->actions.find(action);
    if (it == node->actions.end()) return platform::kAXErrorActionUnsupported;
    effect = it->second;
  }
  // The target application handles the action in its own time, on the machine's loop.
  if (effect) {
    loop_.postFromAnyThread([tree = weak_from_this(), effect = std::move(effect)] {
      if (tree.lock()) effect();
    });
  }
  return platform::kAXErrorSuccess;
}

// ---- Observers ----

class AXTree::Observer final : public platform::AXObserver {
 public:
  Observer(std::weak_ptr<AXTree> tree, std::uint64_t id) : tree_(std::move(tree)), id_(id) {}
  ~Observer() override {
    if (auto tree = tree_.lock()) tree->dropObserver(id_);
  }
  AXError addNotification(const platform::AXElementRef& element,
                          const std::string& notification) override {
    auto tree = tree_.lock();
    return tree ? tree->addNotification(id_, element, notification)
                : platform::kAXErrorInvalidUIElementObserver;
  }
  AXError removeNotification(const platform::AXElementRef& element,
                             const std::string& notification) override {
    auto tree = tree_.lock();
    return tree ? tree->removeNotification(id_, element, notification)
                : platform::kAXErrorInvalidUIElementObserver;
  }

 private:
  std::weak_ptr<AXTree> tree_;
  std::uint64_t id_;
};

platform::AXObserverResult AXTree::createObserver(pid_t pid,
                                                  platform::AXObserverCallback callback) {
  if (!callback || pid <= 0) return {platform::kAXErrorIllegalArgument, nullptr};
  std::lock_guard lock(mutex_);
  std::uint64_t id = nextObserver_++;
  auto state = std::make_shared<ObserverState>();
  state->pid = pid;
  state->callback = std::move(callback);
  observers_.emplace(id, std::move(state));
  return {platform::kAXErrorSuccess, std::make_unique<Observer>(weak_from_this(), id)};
}

AXError AXTree::addNotification(std::uint64_t observer, const platform::AXElementRef& element,
                                const std::string& notification) {
  if (!trusted()) return platform::kAXErrorAPIDisabled;
  if (notification.empty()) return platform::kAXErrorIllegalArgument;
  std::lock_guard lock(mutex_);
  SimAXNodePtr node;
  if (AXError error = resolveLocked(element, node); error != platform::kAXErrorSuccess) {
    return error;
  }
  auto state = observers_.find(observer);
  if (state == observers_.end()) return platform::kAXErrorInvalidUIElementObserver;
  // An observer hears one process only.
  if (state->second->pid != node->pid) return platform::kAXErrorIllegalArgument;
  for (const auto& r : registrations_) {
    if (r.observer == observer && r.notification == notification && r.node.lock() == node) {
      return platform::kAXErrorNotificationAlreadyRegistered;
    }
  }
  registrations_.push_back(Registration{observer, node, notification});
  return platform::kAXErrorSuccess;
}

AXError AXTree::removeNotification(std::uint64_t observer, const platform::AXElementRef& element,
                                   const std::string& notification) {
  std::lock_guard lock(mutex_);
  SimAXNodePtr node;
  if (AXError error = resolveLocked(element, node); error != platform::kAXErrorSuccess) {
    return error;
  }
  auto it = std::find_if(registrations_.begin(), registrations_.end(), [&](const Registration& r) {
    return r.observer == observer && r.notification == notification && r.node.lock() == node;
  });
  if (it == registrations_.end()) return platform::kAXErrorNotificationNotRegistered;
  registrations_.erase(it);
  return platform::kAXErrorSuccess;
}

void AXTree::dropObserver(std::uint64_t observer) {
  std::lock_guard lock(mutex_);
  if (auto it = observers_.find(observer); it != observers_.end()) {
    it->second->alive = false;
    observers_.erase(it);
  }
  std::erase_if(registrations_, [&](const Registration& r) { return r.observer == observer; });
}

void AXTree::post(const SimAXNodePtr& node, std::string notification) {
  if (!node) return;
  loop_.post([tree = weak_from_this(), node, notification = std::move(notification)] {
    auto self = tree.lock();
    if (!self) return;
    std::vector<std::shared_ptr<ObserverState>> listeners;
    {
      std::lock_guard lock(self->mutex_);
      std::set<std::uint64_t> seen;
      for (SimAXNodePtr at = node; at; at = at->parent.lock()) {
        for (const auto& r : self->registrations_) {
          if (r.notification != notification || r.node.lock() != at) continue;
          if (!seen.insert(r.observer).second) continue;
          if (auto state = self->observers_.find(r.observer); state != self->observers_.end()) {
            listeners.push_back(state->second);
          }
        }
      }
    }
    if (!listeners.empty() && self->onDelivered_) self->onDelivered_(node->pid, notification);
    auto element = std::make_shared<SimAXElement>(node->pid, node);
    for (const auto& listener : listeners) {
      // An earlier callback may have dropped a later observer.
      if (listener->alive) listener->callback(element, notification);
    }
  });
}

}  // namespace velmora::sim
