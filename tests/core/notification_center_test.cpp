#include "core/notification_center.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

TEST(NotificationCenter, AListenerHearsEveryPostBeforeItsObservers) {
  NotificationCenter center;
  std::vector<std::string> heard;
  ObserverToken token = center.observe("a", [&] { heard.push_back("observer of a"); });
  center.setOnPost([&](std::string_view name) { heard.push_back("posted " + std::string(name)); });

  center.post("a");
  center.post("nobody listens");
  EXPECT_EQ(heard,
            (std::vector<std::string>{"posted a", "observer of a", "posted nobody listens"}));

  center.setOnPost(nullptr);
  center.post("a");
  EXPECT_EQ(heard.back(), "observer of a");
  EXPECT_EQ(heard.size(), 4u);
}

}  // namespace
}  // namespace velmora
