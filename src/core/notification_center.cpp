#include "core/notification_center.h"

#include <algorithm>

namespace velmora {

ObserverToken NotificationCenter::observe(std::string name, std::function<void()> callback) {
  // Forget observers whose tokens are gone before adding, so the list stays short.
  std::erase_if(entries_, [](const auto& e) { return !e->active; });
  auto entry = std::make_shared<ObserverToken::Entry>();
  entry->name = std::move(name);
  entry->callback = std::move(callback);
  entries_.push_back(entry);
  return ObserverToken(entry);
}

void NotificationCenter::post(std::string_view name) {
  if (onPost_) onPost_(name);
  auto snapshot = entries_;
  for (const auto& entry : snapshot) {
    if (entry->active && entry->name == name) entry->callback();
  }
}

}  // namespace velmora
