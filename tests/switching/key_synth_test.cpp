#include "switching/key_synth.h"

#include <gtest/gtest.h>

#include <vector>

#include "golden.h"
#include "platform/input_clocks.h"

namespace velmora {
namespace {

using platform::KeyboardEvent;

constexpr std::uint64_t kControl = 0x40000;
constexpr std::uint64_t kOption = 0x80000;

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

// What each press sends, one press a line: ⌃→ inside a Control press with the arrow bits,
// other keys with their own flags and no Control press, a bare arrow still with the arrow
// bits, F1 (beside the arrows) without them; a key code past 16 bits is refused unpressed.
TEST_F(KeySynthTest, PressesSendTheirEventsAsTheirGolden) {
  std::string out;
  for (auto [keyCode, flags] : {std::pair{124u, kControl},
                                {19u, kOption},
                                {126u, 0ULL},
                                {122u, kControl},
                                {65535u, 0ULL},
                                {65536u + 18, kControl}}) {
    events.events.clear();
    char line[64];
    std::snprintf(line, sizeof line, "%u %#llx ->%s", keyCode,
                  static_cast<unsigned long long>(flags),
                  synth.post(keyCode, flags) ? "" : " refused");
    out += line;
    for (const KeyboardEvent& e : events.events) {
      std::snprintf(line, sizeof line, " %s %u %#llx;", e.keyDown ? "down" : "up", e.keyCode,
                    static_cast<unsigned long long>(e.flags));
      out += line;
    }
    out += "\n";
  }
  EXPECT_TRUE(testing::matchesGolden("switching/key_presses.txt", out));
  const std::size_t posts = events.sources.size();
  EXPECT_EQ(events.sources, std::vector<std::int32_t>(posts, platform::kEventSourceStateHID));
  EXPECT_EQ(events.taps, std::vector<std::uint32_t>(posts, platform::kHIDEventTap));
}

TEST_F(KeySynthTest, AFailedPostIsReportedButControlIsStillReleased) {
  events.failPost = 2;
  EXPECT_FALSE(synth.post(18, kControl));
  ASSERT_EQ(events.events.size(), 4u);
  EXPECT_EQ(events.events.back(), (KeyboardEvent{59, false, 0}));
}

}  // namespace
}  // namespace velmora
