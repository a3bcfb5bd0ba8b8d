#include "store/hotkey.h"

#include <gtest/gtest.h>

#include "golden.h"
#include "platform/sim/us_keyboard_layout.h"

namespace velmora {
namespace {

constexpr std::uint32_t kCommand = platform::kCmdKey, kShift = platform::kShiftKey,
                        kOption = platform::kOptionKey, kControl = platform::kControlKey;

// Names of keys from the table, then the layout (upper-cased), then the code; menu key
// equivalents (not upper-cased); shortcuts shown and spoken with the modifiers always in
// the order ⌃⌥⇧⌘; and the stored JSON form, which needs both integer keys.
TEST(KeyNames, KeysShortcutsAndStoredFormsAsTheirGolden) {
  sim::USKeyboardLayout layout;
  KeyNames names{layout};
  std::string out;
  for (std::uint16_t code : {49, 123, 124, 126, 111, 35, 18, 10, 48, 200}) {
    out += "key " + std::to_string(code) + ": " + names.name(code) + ", equivalent \"" +
           testing::escaped(names.keyEquivalent(code)) + "\"\n";
  }
  for (Hotkey h :
       {Hotkey{35, kCommand | kShift | kOption | kControl}, Hotkey{49, kControl | kOption},
        Hotkey{124, kCommand | kShift}, Hotkey{200, 0}, Hotkey{35, 1 << 20}}) {
    out += h.toJSON() + ": " + names.display(h) + ", " + names.spoken(h) + "\n";
  }
  for (const char* json :
       {R"({"keyCode":35})", R"({"keyCode":"35","modifiers":0})", R"({"keyCode":-1,"modifiers":0})",
        R"({"keyCode":4294967296,"modifiers":0})", "[35, 6144]", "not json",
        R"({"modifiers":0,"keyCode":4294967295,"extra":1})"}) {
    std::optional<Hotkey> h = Hotkey::fromJSON(json);
    out += std::string("from ") + json + ": " + (h ? h->toJSON() : "none") + "\n";
  }
  EXPECT_TRUE(testing::matchesGolden("store/key_names.txt", out));
  const Hotkey h{35, kControl | kOption};
  EXPECT_EQ(Hotkey::fromJSON(h.toJSON()), h);
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
