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
  // The button as the user sees it and what it told: "⌃⌥P recording accent | changes: none".
  std::string state() {
    std::string out = recorder->title() + (recorder->recording() ? " recording" : "") +
                      (recorder->titleUsesAccentColor() ? " accent" : "") + " | changes:";
    for (const auto& c : changes) out += " " + (c ? names.display(*c) : "none");
    return out + " | beeps " + std::to_string(mac.keyboard().beeps()) + " monitors " +
           std::to_string(mac.keyboard().monitorCount());
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
  EXPECT_EQ(state(), "Click to record | changes: | beeps 0 monitors 0");
  recorder->setHotkey(Hotkey{35, 6144});
  recorder->click();
  EXPECT_EQ(state(), "Press shortcut… recording accent | changes: | beeps 0 monitors 1");
  recorder->click();
  EXPECT_EQ(state(), "⌃⌥P | changes: | beeps 0 monitors 0");
  EXPECT_EQ(recordingChanges, (std::vector<bool>{true, false}));
  recorder->click();
  recorder->remove();  // ends the recording too
  EXPECT_EQ(state(), "Click to record | changes: none | beeps 0 monitors 0");
  EXPECT_FALSE(center.suspended());
}

// A key needs a modifier (Caps Lock is none) unless it is a function key; Escape alone
// cancels, with Shift it is a shortcut; not recording, nothing beeps.
TEST_F(RecorderTest, WhatAPressRecords) {
  recorder->click();
  type(kA, 0);
  type(kA, 0x10000);
  EXPECT_EQ(state(), "Press shortcut… recording accent | changes: | beeps 2 monitors 1");
  type(kF5, platform::kEventFlagFunction);  // as F-keys arrive
  type(kA, 0);
  EXPECT_EQ(state(), "F5 | changes: F5 | beeps 2 monitors 0");
  recorder->click();
  type(kEscape, 0);
  EXPECT_EQ(state(), "F5 | changes: F5 | beeps 2 monitors 0");
  recorder->click();
  type(kEscape, platform::kEventFlagShift);
  EXPECT_EQ(state(), "⇧⎋ | changes: F5 ⇧⎋ | beeps 2 monitors 0");
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
