#include "store/hotkey.h"

#include <gtest/gtest.h>

#include "platform/sim/us_keyboard_layout.h"

namespace velmora {
namespace {

constexpr std::uint32_t kCommand = platform::kCmdKey, kShift = platform::kShiftKey,
                        kOption = platform::kOptionKey, kControl = platform::kControlKey;

class KeyNamesTest : public ::testing::Test {
 protected:
  sim::USKeyboardLayout layout;
  KeyNames names{layout};
};

TEST_F(KeyNamesTest, NamesComeFromTheTableThenTheLayoutThenTheCode) {
  EXPECT_EQ(names.name(49), "Space");
  EXPECT_EQ(names.name(123), "←");
  EXPECT_EQ(names.name(111), "F12");
  EXPECT_EQ(names.name(35), "P");  // the layout's "p", upper-cased
  EXPECT_EQ(names.name(18), "1");
  EXPECT_EQ(names.name(10), "§");
  EXPECT_EQ(names.name(200), "Key 200");
}

TEST_F(KeyNamesTest, DisplayAndSpokenFormsKeepTheModifierOrder) {
  // Whatever order the bits were set in, the symbols read ⌃⌥⇧⌘.
  Hotkey all{35, kCommand | kShift | kOption | kControl};
  EXPECT_EQ(names.display(all), "⌃⌥⇧⌘P");
  EXPECT_EQ(names.display({49, kControl | kOption}), "⌃⌥Space");
  EXPECT_EQ(names.spoken({49, kControl | kOption}), "Control + Option + Space");
  EXPECT_EQ(names.spoken({124, kCommand | kShift}), "Shift + Command + Right Arrow");
  EXPECT_EQ(names.spoken({200, 0}), "Key 200");
  EXPECT_EQ(KeyNames::symbols(1 << 20), "");  // bits outside the four are not shown
}

TEST_F(KeyNamesTest, KeyEquivalentsUseMenuCharacters) {
  EXPECT_EQ(names.keyEquivalent(48), "\t");
  EXPECT_EQ(names.keyEquivalent(126), "\xEF\x9C\x80");  // U+F700
  EXPECT_EQ(names.keyEquivalent(35), "p");              // not upper-cased
  EXPECT_EQ(names.keyEquivalent(200), "");
}

TEST(Hotkey, JsonFormNeedsBothIntegerKeys) {
  Hotkey h{35, kControl | kOption};
  EXPECT_EQ(h.toJSON(), R"({"keyCode":35,"modifiers":6144})");
  EXPECT_EQ(Hotkey::fromJSON(h.toJSON()), h);
  EXPECT_EQ(Hotkey::fromJSON(R"({"keyCode":35})"), std::nullopt);
  EXPECT_EQ(Hotkey::fromJSON(R"({"keyCode":"35","modifiers":0})"), std::nullopt);
  EXPECT_EQ(Hotkey::fromJSON(R"({"keyCode":-1,"modifiers":0})"), std::nullopt);
  EXPECT_EQ(Hotkey::fromJSON(R"({"keyCode":4294967296,"modifiers":0})"), std::nullopt);
  EXPECT_EQ(Hotkey::fromJSON("[35, 6144]"), std::nullopt);
  EXPECT_EQ(Hotkey::fromJSON("not json"), std::nullopt);
  EXPECT_EQ(Hotkey::fromJSON(R"({"modifiers":0,"keyCode":4294967295,"extra":1})"),
            (Hotkey{4294967295u, 0}));
}

TEST(Hotkey, DesktopDigitsAndFlagConversions) {
  EXPECT_EQ(platform::keys::digitForDesktop(10), platform::keys::kDigits[0]);  // the 0 key
  EXPECT_EQ(platform::keys::digitForDesktop(0), std::nullopt);
  EXPECT_EQ(platform::keys::digitForDesktop(11), std::nullopt);
  EXPECT_EQ(platform::carbonModifiers(platform::kEventFlagOption | platform::kEventFlagShift | 1),
            kOption | kShift);  // other bits are dropped
  EXPECT_EQ(platform::carbonModifiers(platform::eventFlags(kControl | kOption | kShift | kCommand)),
            kControl | kOption | kShift | kCommand);
}

}  // namespace
}  // namespace velmora
