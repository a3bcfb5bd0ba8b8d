#include "switching/shortcut_recorder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora {
namespace {

constexpr std::uint64_t kCtrlOpt = platform::kEventFlagControl | platform::kEventFlagOption;
constexpr std::uint16_t kA = 0;
using platform::keys::kEscape;
using platform::keys::kSpace;
constexpr std::uint16_t kF5 = platform::keys::kFunctionKeys[4];
using Changes = std::vector<std::optional<Hotkey>>;

class RecorderTest : public ::testing::Test {
 protected:
  RecorderTest() {
    mac.keyboard().setVelmoraWindowKey(true);  // the settings window is key
    center.registerHotkey({kSpace, 6144}, [this] { ++switcherPresses; });
    recorder->setOnChange([this](const std::optional<Hotkey>& h) { changes.push_back(h); });
    recorder->setOnRecordingChange([this](bool on) { recordingChanges.push_back(on); });
  }
  void type(std::uint16_t keyCode, std::uint64_t flags) {
    mac.keyboard().userPress(keyCode, flags);
    loop.advance(0.01);
  }

  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  MemoryLog systemLog;
  KeyNames names{mac.platform().keyboardLayout};
  HotkeyCenter center{mac.hotKeys(), systemLog, names};
  std::unique_ptr<RecorderButton> recorder =
      std::make_unique<RecorderButton>(mac.keyboard(), center, names);
  int switcherPresses = 0;
  Changes changes;
  std::vector<bool> recordingChanges;
};

TEST_F(RecorderTest, TheTitleFollowsTheStateAndASecondClickCancels) {
  EXPECT_EQ(recorder->title(), "Click to record");
  recorder->setHotkey(Hotkey{35, 6144});
  EXPECT_EQ(recorder->title(), "⌃⌥P");
  recorder->click();
  EXPECT_EQ(recorder->title(), "Press shortcut…");
  EXPECT_TRUE(recorder->titleUsesAccentColor());
  recorder->click();
  EXPECT_EQ(recorder->title(), "⌃⌥P");
  EXPECT_FALSE(recorder->titleUsesAccentColor());
  EXPECT_EQ(recordingChanges, (std::vector<bool>{true, false}));
  EXPECT_TRUE(changes.empty());

  recorder->click();
  recorder->remove();  // ends the recording too
  EXPECT_EQ(recorder->title(), "Click to record");
  EXPECT_EQ(changes, (Changes{std::nullopt}));
  EXPECT_FALSE(center.suspended());
}

TEST_F(RecorderTest, AKeyNeedsAModifierUnlessItIsAFunctionKey) {
  recorder->click();
  type(kA, 0);
  type(kA, 0x10000);  // Caps Lock is no modifier
  EXPECT_EQ(mac.keyboard().beeps(), 2);
  EXPECT_TRUE(recorder->recording());
  EXPECT_TRUE(changes.empty());

  type(kF5, platform::kEventFlagFunction);  // as F-keys arrive
  EXPECT_EQ(changes, (Changes{Hotkey{kF5, 0}}));
  EXPECT_EQ(recorder->title(), "F5");
  EXPECT_FALSE(recorder->recording());
  EXPECT_EQ(mac.keyboard().monitorCount(), 0u);
  type(kA, 0);  // not recording: nothing beeps
  EXPECT_EQ(mac.keyboard().beeps(), 2);
}

TEST_F(RecorderTest, EscapeAloneCancelsButWithShiftItIsAShortcut) {
  recorder->click();
  type(kEscape, 0);
  EXPECT_FALSE(recorder->recording());
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(mac.keyboard().beeps(), 0);

  recorder->click();
  type(kEscape, platform::kEventFlagShift);
  EXPECT_EQ(changes, (Changes{Hotkey{kEscape, platform::kShiftKey}}));
  EXPECT_EQ(recorder->title(), "⇧⎋");
}

TEST_F(RecorderTest, HotkeysRestWhileRecordingSoTheirCombinationsCanBeRecorded) {
  int flagChanges = 0;
  auto later = mac.keyboard().addLocalMonitor(platform::kNSEventMaskFlagsChanged,
                                              [&](const platform::LocalKeyEvent&) {
                                                ++flagChanges;
                                                return false;
                                              });
  recorder->click();
  EXPECT_TRUE(mac.hotKeys().registered().empty());
  type(kSpace, kCtrlOpt);
  EXPECT_EQ(switcherPresses, 0);
  EXPECT_EQ(changes, (Changes{Hotkey{kSpace, 6144}}));
  EXPECT_EQ(flagChanges, 4);  // modifier changes pass through to the window
  mac.keyboard().removeMonitor(later);

  type(kSpace, kCtrlOpt);
  EXPECT_EQ(switcherPresses, 1);
}

TEST_F(RecorderTest, ARecorderClosedWhileRecordingGivesTheKeyboardBack) {
  recorder->click();
  recorder.reset();
  EXPECT_EQ(mac.keyboard().monitorCount(), 0u);
  type(kSpace, kCtrlOpt);
  EXPECT_EQ(switcherPresses, 1);
}

}  // namespace
}  // namespace velmora
