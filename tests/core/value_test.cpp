#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/notification_center.h"
#include "core/signal.h"
#include "core/value.h"
#include "golden.h"

namespace velmora {
namespace {

// Every numeric reading of a value, one value a line: numbers convert only when exact, a
// boolean or text is no number, unsigned reads keep the bit pattern.
TEST(Value, NumbersReadAsTheirGolden) {
  auto shown = [](const auto& v) { return v ? std::to_string(*v) : std::string("none"); };
  std::string out;
  for (const Value& v :
       {Value(12), Value(12.0), Value(12.5), Value(std::nan("")), Value(1e300), Value(true),
        Value("12"), Value(), Value(-1), Value(-7), Value(0xFFFF'FFFF'FFFF'FFF0ULL), Value(1.8e19),
        Value(2e19), Value(3000000000LL)}) {
    out += std::string(v.kind() == Value::Kind::Real ? "real " : "") + describe(v) + ": integer " +
           shown(v.asInteger()) + ", number " +
           (v.asNumber() ? testing::num(*v.asNumber()) : "none") + ", unsigned " +
           shown(v.asUInt64()) + ", int32 " + shown(v.asInt32()) + "\n";
  }
  EXPECT_TRUE(testing::matchesGolden("core/value_numbers.txt", out));
}

TEST(Value, DictionariesAndArraysAnswerAbsentForTheWrongKind) {
  Value v = Value::dictionary({{"a", Value::array({1, "x"})}, {"b", Value(Value::Data{{1, 2}})}});
  ASSERT_NE(v.find("a"), nullptr);
  EXPECT_EQ(v.find("a")->asArray()->size(), 2u);
  EXPECT_EQ(v.find("missing"), nullptr);
  EXPECT_EQ(Value(5).find("a"), nullptr);
  EXPECT_EQ(v.find("a")->asDictionary(), nullptr);
  EXPECT_EQ(v.find("b")->asData()->bytes.size(), 2u);
  EXPECT_EQ(describe(v), "{\"a\": [1, \"x\"], \"b\": <2 bytes>}");
  EXPECT_EQ(v,
            Value::dictionary({{"a", Value::array({1, "x"})}, {"b", Value(Value::Data{{1, 2}})}}));
  EXPECT_NE(Value(1), Value(1.0));
}

TEST(Geometry, ConversionsFlipAroundTheMainDisplay) {
  // A 100-point-high window 50 points below the top of a 982-point main display.
  AXRect ax = AXRect::make(10, 50, 300, 100);
  ScreenRect screen = toScreen(ax, 982);
  EXPECT_EQ(screen, ScreenRect::make(10, 832, 300, 100));
  EXPECT_EQ(toAX(screen, 982), ax);
  EXPECT_EQ(toAX(ScreenPoint{5, 982}, 982), (AXPoint{5, 0}));
  EXPECT_TRUE(ax.contains({10, 50}));
  EXPECT_FALSE(ax.contains({310, 50}));
  EXPECT_TRUE(ax.intersection(AXRect::make(400, 0, 10, 10)).isEmpty());
}

TEST(NotificationCenter, DeliversByNameUntilTheTokenIsDropped) {
  NotificationCenter center;
  int a = 0, b = 0;
  ObserverToken ta = center.observe("Velmora.a", [&] { ++a; });
  {
    ObserverToken tb = center.observe("Velmora.b", [&] { ++b; });
    center.post("Velmora.a");
    center.post("Velmora.b");
  }
  center.post("Velmora.b");
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 1);
}

TEST(NotificationCenter, AnObserverRemovedDuringAPostIsNotCalled) {
  NotificationCenter center;
  int second = 0;
  ObserverToken t2;
  ObserverToken t1 = center.observe("n", [&] { t2.reset(); });
  t2 = center.observe("n", [&] { ++second; });
  ObserverToken t3 = center.observe("n", [&] { center.observe("n", [] {}).reset(); });
  center.post("n");
  EXPECT_EQ(second, 0);
}

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

TEST(Signal, ConnectionsDisconnectWhenDropped) {
  Signal signal;
  int calls = 0;
  Connection kept = signal.connect([&] { ++calls; });
  {
    Connection gone = signal.connect([&] { calls += 100; });
  }
  signal.emit();
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace velmora
