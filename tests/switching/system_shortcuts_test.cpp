#include "switching/system_shortcuts.h"

#include <gtest/gtest.h>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora {
namespace {

Value entry(Value enabled, Value parameters) {
  Value::Dictionary d;
  if (!enabled.isNull()) d["enabled"] = enabled;
  if (!parameters.isNull()) {
    d["value"] = Value::dictionary({{"parameters", parameters}, {"type", "standard"}});
  }
  return Value(d);
}

class SystemShortcutsTest : public ::testing::Test {
 protected:
  void store(Value::Dictionary entries) {
    mac.preferences().setValue(SystemShortcuts::kDomain, SystemShortcuts::kKey, Value(entries));
  }
  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  KeyNames names{mac.platform().keyboardLayout};
  SystemShortcuts shortcuts{mac.preferences(), names};
};

TEST_F(SystemShortcutsTest, AMissingDomainHasNoDesktopShortcutsButTheDefaultMoves) {
  EXPECT_EQ(shortcuts.enabledCount(), 0);
  EXPECT_FALSE(shortcuts.combo(1));
  EXPECT_EQ(shortcuts.combo(SystemShortcuts::Direction::left),
            (SystemShortcuts::Combo{123, 0x40000, "⌃←"}));
  EXPECT_EQ(shortcuts.combo(SystemShortcuts::Direction::right)->display, "⌃→");
}

TEST_F(SystemShortcutsTest, EntriesAreReadWithTheirOwnKeysAndFlags) {
  store({
      {"118", entry(true, Value::array({65535, 18, 262144}))},
      {"119", entry(1, Value::array({65535, 19, 0x40000 | 0x100000 | 0x1}))},  // stray bit dropped
      {"120", entry(false, Value::array({65535, 20, 262144}))},                // off
      {"121", entry(2, Value::array({65535, 21, 262144}))},                    // 2 is not "on"
      {"122", entry(true, Value::array({65535, "23", 262144}))},               // unusable
      {"127", entry(true, Value::array({65535, 29, 0x80000}))},
      {"79", entry(false, {})},                   // left turned off
      {"81", entry(true, Value::array({1, 2}))},  // too short: default
  });
  EXPECT_EQ(shortcuts.combo(1), (SystemShortcuts::Combo{18, 0x40000, "⌃1"}));
  EXPECT_EQ(shortcuts.combo(2), (SystemShortcuts::Combo{19, 0x140000, "⌃⌘2"}));
  EXPECT_FALSE(shortcuts.combo(3));
  EXPECT_FALSE(shortcuts.combo(4));
  EXPECT_FALSE(shortcuts.combo(5));
  EXPECT_EQ(shortcuts.combo(10)->display, "⌥0");
  EXPECT_FALSE(shortcuts.combo(11));
  EXPECT_EQ(shortcuts.enabledCount(), 3);
  EXPECT_FALSE(shortcuts.combo(SystemShortcuts::Direction::left));
  EXPECT_EQ(shortcuts.combo(SystemShortcuts::Direction::right)->keyCode, 124u);
}

TEST_F(SystemShortcutsTest, AnythingButADictionaryReadsAsEmpty) {
  mac.preferences().setValue(SystemShortcuts::kDomain, SystemShortcuts::kKey, "garbage");
  EXPECT_EQ(shortcuts.enabledCount(), 0);
  EXPECT_TRUE(shortcuts.combo(SystemShortcuts::Direction::left));
}

}  // namespace
}  // namespace velmora
