#include "switching/key_synth.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/input_clocks.h"

namespace velmora {
namespace {

using platform::KeyboardEvent;

constexpr std::uint64_t kControl = 0x40000;
constexpr std::uint64_t kOption = 0x80000;
constexpr std::uint64_t kArrowBits = 0x200000 | 0x800000;

// Every post with where it came from and where it went; fails the posts it is told to.
class RecordingEvents final : public platform::KeyboardEvents {
 public:
  bool post(std::int32_t sourceStateID, const KeyboardEvent& event,
            std::uint32_t tapLocation) override {
    events.push_back(event);
    sources.push_back(sourceStateID);
    taps.push_back(tapLocation);
    return static_cast<int>(events.size()) != failPost;
  }
  std::vector<KeyboardEvent> events;
  std::vector<std::int32_t> sources;
  std::vector<std::uint32_t> taps;
  int failPost = 0;  // 1-based index of the post that fails; 0: none
};

class KeySynthTest : public ::testing::Test {
 protected:
  RecordingEvents events;
  KeySynth synth{events};
};

TEST_F(KeySynthTest, ControlRightArrowIsPressedInsideAControlPressWithTheArrowBits) {
  EXPECT_TRUE(synth.post(124, kControl));
  EXPECT_EQ(events.events, (std::vector<KeyboardEvent>{
                               {59, true, kControl},
                               {124, true, kControl | kArrowBits},
                               {124, false, kControl | kArrowBits},
                               {59, false, 0},
                           }));
  EXPECT_EQ(events.sources, std::vector<std::int32_t>(4, platform::kEventSourceStateHID));
  EXPECT_EQ(events.taps, std::vector<std::uint32_t>(4, platform::kHIDEventTap));
}

TEST_F(KeySynthTest, OtherKeysKeepTheirFlagsAndGoWithoutAControlPress) {
  EXPECT_TRUE(synth.post(19, kOption));  // ⌥2
  EXPECT_EQ(events.events, (std::vector<KeyboardEvent>{{19, true, kOption}, {19, false, kOption}}));

  events.events.clear();
  EXPECT_TRUE(synth.post(126, 0));  // a bare up arrow still carries the arrow bits
  EXPECT_EQ(events.events,
            (std::vector<KeyboardEvent>{{126, true, kArrowBits}, {126, false, kArrowBits}}));

  events.events.clear();
  EXPECT_TRUE(synth.post(122, kControl));  // F1 sits next to the arrows but is not one
  EXPECT_EQ(events.events[1], (KeyboardEvent{122, true, kControl}));
}

TEST_F(KeySynthTest, KeyCodesBeyondSixteenBitsAreRefusedUnpressed) {
  EXPECT_FALSE(synth.post(65536 + 18, kControl));
  EXPECT_TRUE(events.events.empty());
  EXPECT_TRUE(synth.post(65535, 0));
  EXPECT_EQ(events.events.front().keyCode, 65535);
}

TEST_F(KeySynthTest, AFailedPostIsReportedButControlIsStillReleased) {
  events.failPost = 2;
  EXPECT_FALSE(synth.post(18, kControl));
  ASSERT_EQ(events.events.size(), 4u);
  EXPECT_EQ(events.events.back(), (KeyboardEvent{59, false, 0}));
}

}  // namespace
}  // namespace velmora
