#include "platform/sim/virtual_hotkeys.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora::sim {
namespace {

constexpr std::uint32_t kControlOption = platform::kControlKey | platform::kOptionKey;

TEST(VirtualHotKeys, ACombinationAnotherApplicationHoldsIsRefusedUntilItLetsGo) {
  VirtualHotKeys keys;
  std::vector<std::uint32_t> heard;
  keys.installHotKeyHandler([&](platform::HotKeyID id) { heard.push_back(id.id); });
  keys.holdByAnotherApplication(19, kControlOption);
  EXPECT_EQ(keys.registerHotKey(19, kControlOption, {1, 1}).status,
            platform::kEventHotKeyExistsErr);
  EXPECT_EQ(keys.registerHotKey(19, platform::kControlKey, {1, 2}).status, platform::kHotKeyNoErr)
      << "the same key with other modifiers is free";
  EXPECT_FALSE(keys.dispatch(19, kControlOption));

  keys.releaseByAnotherApplication(19, kControlOption);
  platform::HotKeyRegistration again = keys.registerHotKey(19, kControlOption, {1, 3});
  EXPECT_EQ(again.status, platform::kHotKeyNoErr);
  EXPECT_TRUE(again.ref);
  EXPECT_TRUE(keys.dispatch(19, kControlOption));
  EXPECT_EQ(heard, std::vector<std::uint32_t>{3});
  EXPECT_EQ(keys.registrationCount(), 2);
}

}  // namespace
}  // namespace velmora::sim
