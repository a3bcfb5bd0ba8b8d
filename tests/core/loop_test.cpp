#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/realtime_loop.h"
#include "core/virtual_loop.h"

namespace velmora {
namespace {

TEST(VirtualLoop, RunsDelayedWorkInTimeOrderAtItsDueTime) {
  VirtualLoop loop;
  std::vector<std::pair<std::string, double>> ran;
  auto note = [&](std::string what) { return [&, what] { ran.emplace_back(what, loop.now()); }; };
  loop.after(0.3, note("c"));
  loop.after(0.1, note("a"));
  loop.after(0.1, note("b"));  // same time: arrival order
  loop.post(note("posted"));
  loop.advance(0.2);
  ASSERT_EQ(ran.size(), 3u);
  EXPECT_EQ(ran[0], std::make_pair(std::string("posted"), 0.0));
  EXPECT_EQ(ran[1], std::make_pair(std::string("a"), 0.1));
  EXPECT_EQ(ran[2], std::make_pair(std::string("b"), 0.1));
  EXPECT_DOUBLE_EQ(loop.now(), 0.2);
  loop.advance(1);
  ASSERT_EQ(ran.size(), 4u);
  EXPECT_DOUBLE_EQ(ran[3].second, 0.3);
}

TEST(VirtualLoop, WorkScheduledByWorkRunsInTheSameAdvanceWhenDue) {
  VirtualLoop loop;
  std::vector<double> times;
  loop.after(0.1, [&] {
    times.push_back(loop.now());
    loop.after(0.05, [&] { times.push_back(loop.now()); });
    loop.after(0.5, [&] { times.push_back(loop.now()); });
  });
  loop.advance(0.2);
  EXPECT_EQ(times, (std::vector<double>{0.1, 0.15000000000000002}));
}

TEST(VirtualLoop, RepeatingTimerTicksUntilInvalidatedOrDropped) {
  VirtualLoop loop;
  int ticks = 0;
  auto timer = loop.repeating(1.5, 0.5, [&] { ++ticks; });
  EXPECT_DOUBLE_EQ(timer->interval(), 1.5);
  EXPECT_DOUBLE_EQ(timer->tolerance(), 0.5);
  loop.advance(1.4);
  EXPECT_EQ(ticks, 0);
  loop.advance(3.1);  // 1.5, 3.0, 4.5
  EXPECT_EQ(ticks, 3);
  timer->invalidate();
  EXPECT_FALSE(timer->isValid());
  loop.advance(10);
  EXPECT_EQ(ticks, 3);

  auto dropped = loop.repeating(1, -1, [&] { ++ticks; });
  EXPECT_DOUBLE_EQ(dropped->tolerance(), 0.25);  // a quarter of the interval by default
  dropped.reset();
  loop.advance(5);
  EXPECT_EQ(ticks, 3);
}

TEST(VirtualLoop, ATickMayInvalidateItsOwnTimer) {
  VirtualLoop loop;
  int ticks = 0;
  std::unique_ptr<RepeatingTimer> timer;
  timer = loop.repeating(1, -1, [&] {
    if (++ticks == 2) timer.reset();
  });
  loop.advance(10);
  EXPECT_EQ(ticks, 2);
}

TEST(VirtualLoop, GuardedWorkDoesNothingOnceItsOwnerIsGone) {
  VirtualLoop loop;
  int calls = 0;
  {
    Lifetime owner;
    loop.after(0.1, owner.guard([&] { ++calls; }));
    loop.post(owner.guard([&] { ++calls; }));
    loop.runPending();
    EXPECT_EQ(calls, 1);
  }
  loop.advance(1);
  EXPECT_EQ(calls, 1);
}

TEST(VirtualLoop, PostsFromOtherThreadsRunOnTheLoopInOrder) {
  VirtualLoop loop;
  std::vector<int> got;
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) loop.postFromAnyThread([&got, i] { got.push_back(i); });
  });
  worker.join();
  EXPECT_TRUE(got.empty());  // nothing runs until the loop turns
  loop.runPending();
  ASSERT_EQ(got.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(got[static_cast<std::size_t>(i)], i);
}

TEST(VirtualLoop, WallClockFollowsVirtualTimeAndCanJump) {
  VirtualLoop loop(1000);
  loop.advance(2.5);
  EXPECT_DOUBLE_EQ(loop.wallNow(), 1002.5);
  loop.skewWallClock(-60);
  EXPECT_DOUBLE_EQ(loop.wallNow(), 942.5);
  EXPECT_DOUBLE_EQ(loop.now(), 2.5);
}

TEST(VirtualLoop, PendingWorkListsWhatIsLeftEarliestFirstAndFollowsTheLoop) {
  using Kind = QueuedLoop::PendingWork::Kind;
  VirtualLoop loop;
  loop.holdCrossThreadPosts(true);
  loop.after(0.3, [] {});
  loop.after(0.1, [] {});
  auto timer = loop.repeating(1.5, 0.5, [] {});
  auto dropped = loop.repeating(0.2, -1, [] {});
  dropped->invalidate();
  loop.post([] {});
  std::thread([&] { loop.postFromAnyThread([] {}); }).join();

  auto work = loop.pendingWork();
  ASSERT_EQ(work.size(), 5u);
  EXPECT_EQ(work[0].kind, Kind::once);  // the post, due now
  EXPECT_DOUBLE_EQ(work[0].due, 0);
  EXPECT_EQ(work[1].kind, Kind::fromAnotherThread);  // taken in after what is due now
  EXPECT_DOUBLE_EQ(work[2].due, 0.1);
  EXPECT_DOUBLE_EQ(work[3].due, 0.3);
  EXPECT_EQ(work[4].kind, Kind::repeating);
  EXPECT_DOUBLE_EQ(work[4].due, 1.5);
  EXPECT_DOUBLE_EQ(work[4].interval, 1.5);
  EXPECT_DOUBLE_EQ(work[4].tolerance, 0.5);

  // Once time passes, only the timer is left, armed for its next tick.
  loop.runPending();
  loop.advance(2);
  work = loop.pendingWork();
  ASSERT_EQ(work.size(), 1u);
  EXPECT_EQ(work[0].kind, Kind::repeating);
  EXPECT_DOUBLE_EQ(work[0].due, 3.0);
  timer.reset();
  EXPECT_TRUE(loop.pendingWork().empty());
}

TEST(RealtimeLoop, RunsWorkPostedFromAnotherThreadAndStops) {
  RealtimeLoop loop;
  std::vector<int> order;
  std::thread worker([&] {
    loop.postFromAnyThread([&] { order.push_back(1); });
    loop.postFromAnyThread([&] {
      order.push_back(2);
      loop.stop();
    });
  });
  loop.run();
  worker.join();
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(RealtimeLoop, DelayedWorkWaitsForItsTime) {
  RealtimeLoop loop;
  double ranAt = -1;
  double start = loop.now();
  loop.after(0.02, [&] {
    ranAt = loop.now();
    loop.stop();
  });
  loop.runFor(5);
  EXPECT_GE(ranAt - start, 0.02);
  EXPECT_LT(ranAt - start, 2.0);
}

}  // namespace
}  // namespace velmora
