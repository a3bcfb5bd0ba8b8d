#include "switching/hotkey_center.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora {
namespace {

constexpr std::uint32_t kControlOption = platform::kControlKey | platform::kOptionKey;
constexpr Hotkey kSwitcher{49, kControlOption};  // ⌃⌥Space
constexpr Hotkey kPresent{35, kControlOption};   // ⌃⌥P

class HotkeyCenterTest : public ::testing::Test {
 protected:
  void press(const Hotkey& hotkey) {
    mac.keyboard().userPress(static_cast<std::uint16_t>(hotkey.keyCode),
                             platform::eventFlags(hotkey.modifiers));
    loop.advance(0.01);
  }
  std::vector<std::uint32_t> registeredIDs() {
    std::vector<std::uint32_t> ids;
    for (const auto& r : mac.hotKeys().registered()) ids.push_back(r.id.id);
    return ids;
  }
  std::function<void()> note(const char* what) {
    return [this, what] { ran.push_back(what); };
  }

  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  MemoryLog systemLog;
  KeyNames names{mac.platform().keyboardLayout};
  std::unique_ptr<HotkeyCenter> center =
      std::make_unique<HotkeyCenter>(mac.hotKeys(), systemLog, names);
  std::vector<std::string> ran;
};

TEST_F(HotkeyCenterTest, PressesRunTheirOwnBindingAndIdsNeverComeBack) {
  EXPECT_EQ(center->registerHotkey(kSwitcher, note("switcher")), 1u);
  EXPECT_EQ(center->registerHotkey(kPresent, note("present")), 2u);
  auto registered = mac.hotKeys().registered();
  ASSERT_EQ(registered.size(), 2u);
  EXPECT_EQ(registered[0].keyCode, 49u);
  EXPECT_EQ(registered[0].modifiers, kControlOption);
  // 'C' 'R' 'V' 'N', the first character in the high byte.
  EXPECT_EQ(registered[1].id, (platform::HotKeyID{0x4352564E, 2}));
  press(kPresent);
  press(kSwitcher);
  EXPECT_EQ(ran, (std::vector<std::string>{"present", "switcher"}));

  center->removeAll();
  press(kSwitcher);
  EXPECT_EQ(ran.size(), 2u);
  EXPECT_EQ(center->registerHotkey(kSwitcher, note("again")), 3u);
  EXPECT_EQ(registeredIDs(), std::vector<std::uint32_t>{3});

  center.reset();  // gone: holds nothing, hears nothing
  EXPECT_TRUE(mac.hotKeys().registered().empty());
  EXPECT_FALSE(mac.hotKeys().handlerInstalled());
}

TEST_F(HotkeyCenterTest, ACombinationTakenElsewhereIsLoggedAndRetriedOnResume) {
  mac.hotKeys().holdByAnotherApplication(kPresent.keyCode, kPresent.modifiers);
  std::uint32_t present = center->registerHotkey(kPresent, note("present"));
  std::uint32_t switcher = center->registerHotkey(kSwitcher, note("switcher"));
  EXPECT_EQ(systemLog.lines,
            std::vector<std::string>{"Velmora: could not register hotkey ⌃⌥P (status -9878)"});
  EXPECT_FALSE(center->isRegistered(present));
  press(kSwitcher);
  EXPECT_EQ(ran, std::vector<std::string>{"switcher"});

  center->suspend();
  center->resume();
  EXPECT_EQ(systemLog.lines.size(), 2u);
  EXPECT_EQ(registeredIDs(), std::vector<std::uint32_t>{switcher});
}

TEST_F(HotkeyCenterTest, SuspendingKeepsTheBindingsForTheResume) {
  center->registerHotkey(kSwitcher, note("switcher"));
  center->suspend();
  EXPECT_TRUE(mac.hotKeys().registered().empty());
  press(kSwitcher);
  EXPECT_TRUE(ran.empty());
  center->registerHotkey(kPresent, note("present"));  // waits for the resume too
  EXPECT_TRUE(mac.hotKeys().registered().empty());

  int before = mac.hotKeys().registrationCount();
  center->resume();
  center->resume();  // already registered: not twice
  EXPECT_EQ(mac.hotKeys().registrationCount(), before + 2);
  EXPECT_EQ(registeredIDs(), (std::vector<std::uint32_t>{1, 2}));
  press(kPresent);
  EXPECT_EQ(ran, std::vector<std::string>{"present"});
}

TEST_F(HotkeyCenterTest, AnActionMayReplaceEveryBindingWhileItRuns) {
  center->registerHotkey(kPresent, [this] {
    center->removeAll();  // as a rebind caused by the press does
    center->registerHotkey(kSwitcher, note("switcher"));
    ran.push_back("present");
  });
  press(kPresent);
  press(kPresent);
  press(kSwitcher);
  EXPECT_EQ(ran, (std::vector<std::string>{"present", "switcher"}));
}

}  // namespace
}  // namespace velmora
